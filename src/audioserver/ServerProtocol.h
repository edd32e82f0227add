// The messages between the player and its audio server, shared by both sides: the request
// kinds and their names, the fixed-size wire form of a request and of an answer, the two
// 12-byte blocks the player reads in the server's memory, and where the server listens.
//
// Every request is one datagram of three little-endian 32-bit words (kind, wParam, lParam)
// and is answered by one datagram of one word; 0 means refused. "Addresses" are byte
// offsets into the shared-memory region of the side that owns the bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vx::audioserver {

enum class MessageKind : std::uint32_t {
  kSetData = 1,    // "QFLVXPSvrSetData": wParam is a SetDataKind
  kOpenSong = 2,   // "QFLVXPSvrOpenSong": format length, format address -> output address
  kGetData = 3,    // "QFLVXPSvrGetData": -> address of the format information block
  kSeekNext = 4,   // "QFLVXPSvrSeekNext": byte count, address -> address of the result block
  kSeekFirst = 5,  // "QFLVXPSvrSeekFirst": known by name, never sent, always refused
};

// The name of a request kind, or null for a value that is none of the five.
const char* MessageName(MessageKind kind);

enum class SetDataKind : std::uint32_t {
  kBind = 1,       // the player's region descriptor travels with the request; the answer
                   // carries the server's
  kChunkSize = 2,  // lParam: the most compressed bytes one SeekNext will offer
  kFinish = 3,     // the player is done; the server ends after answering
};

struct Request {
  MessageKind kind = MessageKind::kSetData;
  std::uint32_t wParam = 0;
  std::uint32_t lParam = 0;
};

inline constexpr std::size_t kRequestBytes = 12;
inline constexpr std::size_t kAnswerBytes = 4;
inline constexpr std::uint32_t kRefused = 0;

std::array<std::uint8_t, kRequestBytes> EncodeRequest(const Request& request);
Request DecodeRequest(const std::uint8_t* bytes);
std::array<std::uint8_t, kAnswerBytes> EncodeAnswer(std::uint32_t value);
std::uint32_t DecodeAnswer(const std::uint8_t* bytes);

// Blocks in the server's region, read by the player.
inline constexpr std::size_t kBlockBytes = 12;

struct FormatInfoBlock {
  std::uint32_t decodedMaximum = 0;  // the most decoded bytes one SeekNext produces
  std::uint32_t formatLength = 0;    // bytes of the output format record
  std::uint32_t formatAddress = 0;   // where that record lies in the server's region
};

struct DecodeResultBlock {
  std::uint32_t consumed = 0;  // offered bytes the decoder took
  std::uint32_t produced = 0;  // decoded bytes now at the output address
  std::uint32_t unused = 0;
};

std::array<std::uint8_t, kBlockBytes> EncodeBlock(const FormatInfoBlock& block);
std::array<std::uint8_t, kBlockBytes> EncodeBlock(const DecodeResultBlock& block);
FormatInfoBlock DecodeFormatInfo(const std::uint8_t* bytes);
DecodeResultBlock DecodeDecodeResult(const std::uint8_t* bytes);

// Limits both sides hold to.
inline constexpr std::uint32_t kMaxChunkSize = 16u << 20;
inline constexpr std::uint32_t kMaxFormatLength = 18 + 0xffff;
// How long the player waits for any answer, and the server for its player to connect.
inline constexpr int kWaitMs = 15000;

inline constexpr const char* kServerProgramName = "vxacmsvr";
inline constexpr const char* kServerTitle = "Velumix Audio Server";

// "Velumix Audio Server 1" for instance 1: the name the player finds its server by.
std::string ServerWindowTitle(int instance);
// The folder "velumix" in the user's runtime folder (RuntimeFolder.h).
std::string ServerSocketFolder();
// The server's socket: the folder above and the window title.
std::string ServerSocketPath(int instance);
// Makes the socket folder (mode 0700) when it does not exist yet; false when it cannot be
// made or is not private to the user.
bool MakeServerSocketFolder();

}  // namespace vx::audioserver

#include "audioserver/ServerProtocol.h"

#include "platform/instance/RuntimeFolder.h"

namespace vx::audioserver {
namespace {

void PutWord(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetWord(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

std::array<std::uint8_t, 12> ThreeWords(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  std::array<std::uint8_t, 12> bytes{};
  PutWord(bytes.data(), a);
  PutWord(bytes.data() + 4, b);
  PutWord(bytes.data() + 8, c);
  return bytes;
}

}  // namespace

const char* MessageName(MessageKind kind) {
  switch (kind) {
    case MessageKind::kSetData: return "QFLVXPSvrSetData";
    case MessageKind::kOpenSong: return "QFLVXPSvrOpenSong";
    case MessageKind::kGetData: return "QFLVXPSvrGetData";
    case MessageKind::kSeekNext: return "QFLVXPSvrSeekNext";
    case MessageKind::kSeekFirst: return "QFLVXPSvrSeekFirst";
  }
  return nullptr;
}

std::array<std::uint8_t, kRequestBytes> EncodeRequest(const Request& request) {
  return ThreeWords(static_cast<std::uint32_t>(request.kind), request.wParam, request.lParam);
}

Request DecodeRequest(const std::uint8_t* bytes) {
  return {static_cast<MessageKind>(GetWord(bytes)), GetWord(bytes + 4), GetWord(bytes + 8)};
}

std::array<std::uint8_t, kAnswerBytes> EncodeAnswer(std::uint32_t value) {
  std::array<std::uint8_t, kAnswerBytes> bytes{};
  PutWord(bytes.data(), value);
  return bytes;
}

std::uint32_t DecodeAnswer(const std::uint8_t* bytes) { return GetWord(bytes); }

std::array<std::uint8_t, kBlockBytes> EncodeBlock(const FormatInfoBlock& block) {
  return ThreeWords(block.decodedMaximum, block.formatLength, block.formatAddress);
}

std::array<std::uint8_t, kBlockBytes> EncodeBlock(const DecodeResultBlock& block) {
  return ThreeWords(block.consumed, block.produced, block.unused);
}

FormatInfoBlock DecodeFormatInfo(const std::uint8_t* bytes) {
  return {GetWord(bytes), GetWord(bytes + 4), GetWord(bytes + 8)};
}

DecodeResultBlock DecodeDecodeResult(const std::uint8_t* bytes) {
  return {GetWord(bytes), GetWord(bytes + 4), GetWord(bytes + 8)};
}

std::string ServerWindowTitle(int instance) {
  return std::string(kServerTitle) + " " + std::to_string(instance);
}

std::string ServerSocketFolder() { return RuntimeFolder() + "/velumix"; }

std::string ServerSocketPath(int instance) {
  return ServerSocketFolder() + "/" + ServerWindowTitle(instance);
}

bool MakeServerSocketFolder() {
  std::string error;
  return MakeRuntimeFolder(error) && MakePrivateFolder(ServerSocketFolder(), error);
}

}  // namespace vx::audioserver

// One end of the connected socket between the player and its audio server. Requests and
// answers are single datagrams of fixed size (SOCK_SEQPACKET); a descriptor may travel with
// either (SCM_RIGHTS). Sending never raises SIGPIPE, and a receive can be bounded in time,
// so a server that dies or hangs turns into a failed call, never a dead or frozen player.
#pragma once

#include <cstddef>
#include <cstdint>

#include "audioserver/ServerProtocol.h"
#include "audioserver/UniqueFd.h"

namespace vx::audioserver {

enum class ChannelStatus {
  kOk,
  kClosed,     // the other side went away
  kTimedOut,   // nothing came within the wait
  kMalformed,  // a datagram of the wrong size (the channel stays usable)
  kError,      // the socket failed
};

class MessageChannel {
 public:
  MessageChannel() = default;
  explicit MessageChannel(UniqueFd socket) : socket_(std::move(socket)) {}

  // Two connected ends, for running both sides in one process.
  static bool MakePair(MessageChannel& first, MessageChannel& second);
  // Connects to the socket at path; false when nobody listens there.
  bool Connect(const std::string& path);

  bool IsOpen() const { return socket_.IsValid(); }
  int Fd() const { return socket_.Get(); }
  void Close() { socket_.Reset(); }

  // Send one request or answer; fd (when >= 0) travels with it. False when the other side is
  // gone or the socket failed.
  bool SendRequest(const Request& request, int fd = -1);
  bool SendAnswer(std::uint32_t value, int fd = -1);
  // Receive one request or answer; a descriptor that came with it lands in fd. waitMs < 0
  // waits without a limit.
  ChannelStatus ReceiveRequest(Request& request, UniqueFd& fd, int waitMs);
  ChannelStatus ReceiveAnswer(std::uint32_t& value, UniqueFd& fd, int waitMs);

 private:
  bool Send(const std::uint8_t* bytes, std::size_t size, int fd);
  ChannelStatus Receive(std::uint8_t* bytes, std::size_t size, UniqueFd& fd, int waitMs);

  UniqueFd socket_;
};

}  // namespace vx::audioserver

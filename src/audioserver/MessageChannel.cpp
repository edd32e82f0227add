#include "audioserver/MessageChannel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace vx::audioserver {
namespace {

using Clock = std::chrono::steady_clock;

// Waits until the socket is readable or closed. False when the wait ran out or poll failed.
ChannelStatus WaitReadable(int fd, int waitMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    int timeout = -1;
    if (waitMs >= 0) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      timeout = left > 0 ? static_cast<int>(left) : 0;
    }
    pollfd entry{fd, POLLIN, 0};
    const int ready = poll(&entry, 1, timeout);
    if (ready > 0) return ChannelStatus::kOk;
    if (ready == 0) return ChannelStatus::kTimedOut;
    if (errno != EINTR) return ChannelStatus::kError;
  }
}

}  // namespace

bool MessageChannel::MakePair(MessageChannel& first, MessageChannel& second) {
  int fds[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0) return false;
  first.socket_.Reset(fds[0]);
  second.socket_.Reset(fds[1]);
  return true;
}

bool MessageChannel::Connect(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  UniqueFd socket(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
  if (!socket.IsValid()) return false;
  if (connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    return false;
  }
  socket_ = std::move(socket);
  return true;
}

bool MessageChannel::SendRequest(const Request& request, int fd) {
  const auto bytes = EncodeRequest(request);
  return Send(bytes.data(), bytes.size(), fd);
}

bool MessageChannel::SendAnswer(std::uint32_t value, int fd) {
  const auto bytes = EncodeAnswer(value);
  return Send(bytes.data(), bytes.size(), fd);
}

ChannelStatus MessageChannel::ReceiveRequest(Request& request, UniqueFd& fd, int waitMs) {
  std::uint8_t bytes[kRequestBytes];
  const ChannelStatus status = Receive(bytes, sizeof(bytes), fd, waitMs);
  if (status == ChannelStatus::kOk) request = DecodeRequest(bytes);
  return status;
}

ChannelStatus MessageChannel::ReceiveAnswer(std::uint32_t& value, UniqueFd& fd, int waitMs) {
  std::uint8_t bytes[kAnswerBytes];
  const ChannelStatus status = Receive(bytes, sizeof(bytes), fd, waitMs);
  if (status == ChannelStatus::kOk) value = DecodeAnswer(bytes);
  return status;
}

bool MessageChannel::Send(const std::uint8_t* bytes, std::size_t size, int fd) {
  if (!socket_.IsValid()) return false;
  iovec part{const_cast<std::uint8_t*>(bytes), size};
  msghdr message{};
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
  if (fd >= 0) {
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(header), &fd, sizeof(int));
  }
  for (;;) {
    const ssize_t sent = sendmsg(socket_.Get(), &message, MSG_NOSIGNAL);
    if (sent == static_cast<ssize_t>(size)) return true;
    if (sent < 0 && errno == EINTR) continue;
    return false;
  }
}

ChannelStatus MessageChannel::Receive(std::uint8_t* bytes, std::size_t size, UniqueFd& fd,
                                      int waitMs) {
  fd.Reset();
  if (!socket_.IsValid()) return ChannelStatus::kError;
  const ChannelStatus ready = WaitReadable(socket_.Get(), waitMs);
  if (ready != ChannelStatus::kOk) return ready;

  iovec part{bytes, size};
  msghdr message{};
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  // Room for a few descriptors: any beyond the first are closed, never leaked.
  alignas(cmsghdr) char control[CMSG_SPACE(4 * sizeof(int))] = {};
  message.msg_control = control;
  message.msg_controllen = sizeof(control);
  ssize_t received = -1;
  do {
    received = recvmsg(socket_.Get(), &message, MSG_CMSG_CLOEXEC | MSG_DONTWAIT);
  } while (received < 0 && errno == EINTR);
  if (received == 0) return ChannelStatus::kClosed;
  if (received < 0) {
    return errno == ECONNRESET ? ChannelStatus::kClosed
           : (errno == EAGAIN || errno == EWOULDBLOCK) ? ChannelStatus::kTimedOut
                                                       : ChannelStatus::kError;
  }
  for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
       header = CMSG_NXTHDR(&message, header)) {
    if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS) continue;
    const std::size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
    for (std::size_t i = 0; i < count; ++i) {
      int received_fd = -1;
      std::memcpy(&received_fd, CMSG_DATA(header) + i * sizeof(int), sizeof(int));
      if (!fd.IsValid()) {
        fd.Reset(received_fd);
      } else {
        ::close(received_fd);
      }
    }
  }
  if (static_cast<std::size_t>(received) != size || (message.msg_flags & MSG_TRUNC) != 0) {
    fd.Reset();
    return ChannelStatus::kMalformed;
  }
  return ChannelStatus::kOk;
}

}  // namespace vx::audioserver

#include "audioserver/ServerListener.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "audioserver/ServerProtocol.h"

namespace vx::audioserver {

bool ServerListener::Listen(int instance) {
  Close();
  if (!MakeServerSocketFolder()) return false;
  const std::string path = ServerSocketPath(instance);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

  UniqueFd socket(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
  if (!socket.IsValid()) return false;
  unlink(path.c_str());
  if (bind(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    return false;
  }
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || listen(socket.Get(), 1) != 0) {
    unlink(path.c_str());
    return false;
  }
  socket_ = std::move(socket);
  path_ = path;
  device_ = info.st_dev;
  inode_ = info.st_ino;
  return true;
}

UniqueFd ServerListener::AcceptOne(int waitMs, pid_t player) {
  if (!socket_.IsValid()) return UniqueFd();
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        giveUp - std::chrono::steady_clock::now());
    if (left.count() < 0) return UniqueFd();
    pollfd entry{socket_.Get(), POLLIN, 0};
    const int ready = poll(&entry, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return UniqueFd();
    UniqueFd peer(accept4(socket_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!peer.IsValid()) continue;
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (getsockopt(peer.Get(), SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
        credentials.pid == player && credentials.uid == geteuid()) {
      Close();
      return peer;
    }
    // Someone else: the connection is closed as peer goes out of scope.
  }
}

void ServerListener::Close() {
  RemoveName();
  socket_.Reset();
}

void ServerListener::RemoveName() {
  if (path_.empty()) return;
  struct stat info {};
  if (stat(path_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_) {
    unlink(path_.c_str());
  }
  path_.clear();
}

}  // namespace vx::audioserver

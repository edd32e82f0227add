#include "audioserver/ServerListener.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>
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

UniqueFd ServerListener::AcceptOne(int waitMs) {
  if (!socket_.IsValid()) return UniqueFd();
  pollfd entry{socket_.Get(), POLLIN, 0};
  int ready = -1;
  do {
    ready = poll(&entry, 1, waitMs);
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0) return UniqueFd();
  UniqueFd player(accept4(socket_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
  if (player.IsValid()) Close();
  return player;
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

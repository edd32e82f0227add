// The audio server's listening socket, bound at the name its player finds it by
// (ServerSocketPath). It takes exactly one player, the process that started the server
// (the kernel's word on the peer, SO_PEERCRED); anyone else who connects is hung up on.
// Once the player is connected the name is removed, and it is removed on every other way out too, but only while it is still
// this server's socket (a newer server of the same instance may have taken the name over).
#pragma once

#include <sys/types.h>

#include <string>

#include "audioserver/UniqueFd.h"

namespace vx::audioserver {

class ServerListener {
 public:
  ServerListener() = default;
  ~ServerListener() { Close(); }
  ServerListener(const ServerListener&) = delete;
  ServerListener& operator=(const ServerListener&) = delete;

  // Listens at the name of this instance. A stale socket left at that name is replaced.
  bool Listen(int instance);
  // Waits up to waitMs for the process `player` of this user; answers its connection
  // (invalid when it did not come).
  UniqueFd AcceptOne(int waitMs, pid_t player);
  void Close();

 private:
  void RemoveName();

  UniqueFd socket_;
  std::string path_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

}  // namespace vx::audioserver

// vxacmsvr: the audio server of one player deck. Started by the player with its instance
// number, it listens at "Velumix Audio Server <n>", takes that one player, decodes the
// compressed songs the player hands it and ends when the player finishes or goes away.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "audioserver/AudioServer.h"
#include "audioserver/MessageChannel.h"
#include "audioserver/ServerListener.h"

namespace {

// The instance number: a positive decimal number, nothing else.
bool ParseInstance(const char* text, int& instance) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (*end != '\0' || value < 1 || value > 9999) return false;
  instance = static_cast<int>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vx::audioserver;
  int instance = 0;
  if (argc != 2 || !ParseInstance(argv[1], instance)) {
    std::fprintf(stderr, "usage: %s INSTANCE\n", argc > 0 ? argv[0] : kServerProgramName);
    return 2;
  }
  // The player that started us; nobody else is served.
  const pid_t player = getppid();
  ServerListener listener;
  if (!listener.Listen(instance)) {
    std::fprintf(stderr, "%s: cannot listen at %s\n", kServerProgramName,
                 ServerSocketPath(instance).c_str());
    return 1;
  }
  // A player that never comes (it died right after starting us) must not leave us behind.
  UniqueFd connection = listener.AcceptOne(kWaitMs, player);
  if (!connection.IsValid()) return 1;
  MessageChannel channel(std::move(connection));
  AudioServer server;
  server.Serve(channel);
  return 0;
}

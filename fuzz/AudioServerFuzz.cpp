// libFuzzer entry point for the audio server's side of the protocol: the player's region is
// filled from the input and bound, then every further field of the input is one datagram as
// the player might send it (any size), received through the server's message channel and,
// when it is a well-formed request, handled. Whatever the player sends, the server must
// answer without reading outside the player's region or its own.
#include <sys/socket.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzInput.h"
#include "audioserver/AudioServer.h"
#include "audioserver/MessageChannel.h"
#include "audioserver/SharedRegion.h"

using namespace vx::audioserver;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kRegionSize = 64 * 1024;
  vx::fuzz::FuzzInput input(data, size);
  OwnedRegion player;
  if (!player.Create("fuzz-player", kRegionSize)) return 0;
  const std::string_view content = input.Bytes(input.Word16());
  std::memcpy(player.Data(), content.data(), content.size());

  AudioServer server;
  const Request bind{MessageKind::kSetData, static_cast<std::uint32_t>(SetDataKind::kBind), 0};
  server.Handle(bind, player.ReadOnlyDescriptor());

  MessageChannel playerEnd;
  MessageChannel serverEnd;
  if (!MessageChannel::MakePair(playerEnd, serverEnd)) return 0;
  for (int count = 0; !input.Empty() && count < 64; ++count) {
    // One datagram: its length, then its bytes (a well-formed request has 12).
    const std::string_view datagram = input.Bytes(input.Word16() % 64);
    if (datagram.empty()) continue;
    if (send(playerEnd.Fd(), datagram.data(), datagram.size(), MSG_NOSIGNAL) < 0) break;
    Request request;
    UniqueFd fd;
    if (serverEnd.ReceiveRequest(request, fd, 0) != ChannelStatus::kOk) continue;
    server.Handle(request, std::move(fd));
    if (server.Finished()) break;
  }
  return 0;
}

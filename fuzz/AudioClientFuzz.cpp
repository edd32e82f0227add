// libFuzzer entry point for the player's side of the audio server protocol: a hostile or
// broken server. The input gives the server's region (size and contents) and the answers
// datagrams the player receives; the player's reads are made as CAudioServerClient makes
// them: the answer through its message channel, then the information and result blocks and
// the bytes they point at, each checked against the server's region before it is read.
#include <sys/socket.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzInput.h"
#include "audioserver/MessageChannel.h"
#include "audioserver/ServerProtocol.h"
#include "audioserver/SharedRegion.h"

using namespace vx::audioserver;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vx::fuzz::FuzzInput input(data, size);
  OwnedRegion server;
  const std::size_t regionSize = 1 + input.Word16();
  if (!server.Create("fuzz-server", regionSize)) return 0;
  const std::string_view content = input.Bytes(regionSize);
  std::memcpy(server.Data(), content.data(), content.size());
  PeerRegion region;
  if (!region.Adopt(server.ReadOnlyDescriptor())) return 0;

  MessageChannel serverEnd;
  MessageChannel playerEnd;
  if (!MessageChannel::MakePair(serverEnd, playerEnd)) return 0;
  std::uint32_t outputAddress = 0;
  std::vector<std::uint8_t> out(64 * 1024);
  for (int count = 0; !input.Empty() && count < 32; ++count) {
    const std::string_view datagram = input.Bytes(input.Word16() % 16);
    if (datagram.empty() ||
        send(serverEnd.Fd(), datagram.data(), datagram.size(), MSG_NOSIGNAL) < 0) {
      break;
    }
    std::uint32_t answer = 0;
    UniqueFd fd;
    if (playerEnd.ReceiveAnswer(answer, fd, 0) != ChannelStatus::kOk || answer == kRefused) {
      continue;
    }
    std::uint8_t block[kBlockBytes];
    switch (count % 3) {
      case 0:  // the answer to OpenSong: where decoded bytes will lie
        outputAddress = answer;
        break;
      case 1: {  // GetData: the information block and the format record it names
        if (!region.Read(answer, kBlockBytes, block)) break;
        const FormatInfoBlock info = DecodeFormatInfo(block);
        if (const std::uint8_t* format = region.View(info.formatAddress, info.formatLength)) {
          std::vector<std::uint8_t> record(format, format + info.formatLength);
        }
        break;
      }
      case 2: {  // SeekNext: the result block and the decoded bytes
        if (!region.Read(answer, kBlockBytes, block)) break;
        const DecodeResultBlock result = DecodeDecodeResult(block);
        if (result.produced <= out.size()) region.Read(outputAddress, result.produced, out.data());
        break;
      }
    }
  }
  return 0;
}

// The audio server's side of the protocol: it answers each request of its player. The
// player's region comes with the bind request and is only read; the server's own region
// holds, at fixed offsets, the format information block, the decode result block, the
// output format record and the output buffer. Every offset and length the player sends is
// checked against the player's region: a request that does not fit is refused (answer 0).
#pragma once

#include <cstdint>

#include "audioserver/MessageChannel.h"
#include "audioserver/ServerProtocol.h"
#include "audioserver/SharedRegion.h"
#include "audioserver/SongDecoder.h"
#include "audioserver/UniqueFd.h"

namespace vx::audioserver {

class AudioServer {
 public:
  // Where the blocks lie in the server's region. Nothing lies at 0, which means "refused".
  static constexpr std::uint32_t kFormatInfoAt = 16;
  static constexpr std::uint32_t kDecodeResultAt = kFormatInfoAt + kBlockBytes;
  static constexpr std::uint32_t kFormatRecordAt = kDecodeResultAt + kBlockBytes;

  struct Reply {
    std::uint32_t value = kRefused;
    UniqueFd fd;  // sent with the answer (the server's region, after binding)
  };

  // Answers one request; fd is the descriptor that came with it, if any.
  Reply Handle(const Request& request, UniqueFd fd);
  // Answers requests on the channel until the player finishes or goes away.
  void Serve(MessageChannel& channel);
  // True once the player said it is finished.
  bool Finished() const { return finished_; }

 private:
  Reply Bind(UniqueFd playerRegion);
  std::uint32_t SetChunkSize(std::uint32_t chunkSize);
  std::uint32_t OpenSong(std::uint32_t length, std::uint32_t address);
  std::uint32_t GetData() const;
  std::uint32_t SeekNext(std::uint32_t count, std::uint32_t address);
  template <typename Block>
  void WriteBlock(std::uint32_t at, const Block& block);

  OwnedRegion own_;
  PeerRegion player_;
  SongDecoder decoder_;
  std::uint32_t chunkSize_ = 0;
  std::uint32_t outputAt_ = 0;
  bool finished_ = false;
};

}  // namespace vx::audioserver

// The player's side of the audio server protocol, used by one playback engine: it starts
// the engine's own vxacmsvr, binds to it, and has compressed songs decoded chunk by chunk.
// The compressed bytes go through a shared-memory region this client owns; decoded bytes
// are copied out of the server's region, which is mapped read-only and read only after
// every offset and length the server answered was checked against it.
//
// A server that dies or hangs makes the current call fail within the wait (15000 ms by
// default); the server is then killed and reaped, and every later call fails at once.
// Calls must not overlap; any one thread may make them.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "audioserver/MessageChannel.h"
#include "audioserver/SharedRegion.h"
#include "player/engine/AudioServerLink.h"
#include "player/engine/ServerProcess.h"

namespace vx::player {

class CAudioServerClient final : public AudioServerLink {
 public:
  // Results of Start.
  enum StartResult : int {
    kStarted = 0,
    kNoChannel = 1,       // the shared memory or the socket could not be set up
    kNoProgram = 2,       // the server program could not be started
    kNoServerWindow = 3,  // the server did not come up (listening) within the wait
    kNoHandover = 4,      // the player's memory could not be handed to the server
  };

  static constexpr std::chrono::milliseconds kDefaultWait{15000};

  // wait bounds the wait for the server to come up and for each answer.
  explicit CAudioServerClient(std::chrono::milliseconds wait = kDefaultWait);
  // Finishes the server when still bound.
  ~CAudioServerClient() override;
  CAudioServerClient(const CAudioServerClient&) = delete;
  CAudioServerClient& operator=(const CAudioServerClient&) = delete;

  // Starts programFolder + "/vxacmsvr" with the instance number and binds to it. Answers a
  // StartResult. A client that is bound already finishes its server first.
  int Start(const std::string& programFolder, int instance) override;
  bool IsBound() const override { return channel_.IsOpen(); }

  // Per song, in this order. SetChunkSize: the most bytes one Decode will offer.
  bool SetChunkSize(std::uint32_t chunkSize) override;
  // Hands the song's "fmt " chunk to the server; false when it refuses the song.
  bool OpenSong(const std::vector<std::uint8_t>& formatRecord) override;
  // Where the server puts decoded bytes (its answer to OpenSong), 0 when no song is open.
  std::uint32_t OutputAddress() const { return outputAddress_; }
  // The largest decoded chunk and the output format record of the open song:
  // kBlockUnreadable when there is no answer or the information block lies outside the
  // server's region, kDataUnreadable when the record does.
  Status GetOutputFormat(std::uint32_t& decodedMaximum,
                         std::vector<std::uint8_t>& formatRecord) override;
  // Decodes count bytes (at most the chunk size); the decoded bytes are copied to out.
  // consumed says how many bytes the server took: the rest must be offered again first
  // next time. kNoAnswer: refused, dead or silent server; kBlockUnreadable: the result block
  // lies outside the server's region; kDataUnreadable: the decoded bytes do, or they exceed
  // outCapacity.
  Status Decode(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t& consumed,
                std::uint8_t* out, std::uint32_t outCapacity, std::uint32_t& produced) override;

  // Tells the server to end, waits for it within the wait (kills it after that) and
  // releases everything. Harmless when not bound.
  void Finish() override;

  // The server's process id while it runs, -1 otherwise.
  int ServerProcessId() const { return server_.Pid(); }

 private:
  // Sends a request and waits for its answer. Any failure of the channel drops the server.
  bool Exchange(const audioserver::Request& request, std::uint32_t& answer, int fd = -1,
                audioserver::UniqueFd* answerFd = nullptr);
  bool WaitForServer(const std::string& socketPath);
  void Drop();

  std::chrono::milliseconds wait_;
  ServerProcess server_;
  audioserver::MessageChannel channel_;
  audioserver::OwnedRegion own_;
  audioserver::PeerRegion serverRegion_;
  std::uint32_t chunkSize_ = 0;
  std::uint32_t outputAddress_ = 0;
};

}  // namespace vx::player

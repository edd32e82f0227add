// Helpers for playback-engine tests: songs whose every frame carries its own number, a
// virtual output whose tape is read back, and an engine bound to it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/wave/WaveDeviceList.h"
#include "player/engine/AudioServerLink.h"
#include "player/engine/CWavPlayerThread.h"

namespace vx::player::test {

// A link for PCM-only engines: binds at once and refuses every song.
class NoServer : public AudioServerLink {
 public:
  int Start(const std::string&, int) override { return 0; }
  bool IsBound() const override { return false; }
  bool SetChunkSize(std::uint32_t) override { return false; }
  bool OpenSong(const std::vector<std::uint8_t>&) override { return false; }
  Status GetOutputFormat(std::uint32_t&, std::vector<std::uint8_t>&) override {
    return Status::kNoAnswer;
  }
  Status Decode(const std::uint8_t*, std::uint32_t, std::uint32_t&, std::uint8_t*,
                std::uint32_t, std::uint32_t&) override {
    return Status::kNoAnswer;
  }
  void Finish() override {}
};

// 16-bit PCM frames; in a "numbered" song frame k holds k & 0x7fff on the first channel and
// k >> 15 on the second, so a tape can be read back as the sequence of frame numbers.
std::vector<std::int16_t> NumberedFrames(std::uint32_t frames, int channels);
// Writes samples as "<songsFolder>/Song%010u.Wav".
std::string WriteSong(const std::string& songsFolder, std::uint32_t songId,
                      const std::vector<std::int16_t>& samples, int channels, int rate);
// Rewrites a WAVE file with a LIST/INFO chunk after its sample data, as many tools and our own
// compressed writer leave it; the comment text is loud noise if anything plays it.
void AppendInfoList(const std::string& wavePath);
// The 16-bit samples of a WAVE file's data chunk.
std::vector<std::int16_t> ReadSamples(const std::string& wavePath);
// Frame numbers of numbered stereo samples.
std::vector<std::uint32_t> FrameNumbers(const std::vector<std::int16_t>& samples);

// One virtual output (its tape in the test folder) at a high clock speed, and an engine on
// it. Close() ends the engine and the tape.
class EngineRig {
 public:
  explicit EngineRig(double speed = 20, std::unique_ptr<AudioServerLink> server = nullptr);
  ~EngineRig();

  CWavPlayerThread& Engine() { return *engine_; }
  wave::WaveDeviceList& Devices() { return *devices_; }
  const std::string& SongsFolder() const { return songsFolder_; }
  const std::string& Tape() const { return tape_; }

  // Waits (bounded) until condition holds; false when it never did.
  static bool WaitFor(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(30));
  bool WaitForEnd();
  // Closes the engine and waits for its thread; the tape is complete afterwards.
  void Close();

 private:
  std::string songsFolder_;
  std::string tape_;
  std::unique_ptr<wave::WaveDeviceList> devices_;
  std::unique_ptr<CWavPlayerThread> engine_;
  bool closed_ = false;
};

}  // namespace vx::player::test

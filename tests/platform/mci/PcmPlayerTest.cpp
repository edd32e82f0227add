// The player's worker stalled inside a source (a CD drive that stops answering): commands
// fail within the timeout instead of holding their caller, and the player can go away.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "platform/mci/MciErrors.h"
#include "platform/mci/MciTestSupport.h"
#include "platform/mci/PcmPlayer.h"

namespace vx::mci {
namespace {

using namespace std::chrono_literals;
using wave::test::Eventually;

// Silence that blocks in Read until it is let go.
class GatedSource : public PcmSource {
 public:
  const riff::WaveFormat& Format() const override { return format_; }
  bool Seek(std::uint64_t) override { return true; }
  std::size_t Read(std::uint8_t* out, std::size_t frames) override {
    std::unique_lock lock(mutex_);
    open_.wait(lock, [&] { return isOpen_; });
    std::memset(out, 0, frames * format_.blockAlign);
    return frames;
  }
  void LetGo() {
    std::lock_guard lock(mutex_);
    isOpen_ = true;
    open_.notify_all();
  }

 private:
  riff::WaveFormat format_ = riff::WaveFormat::Pcm16(2, 44100);
  std::mutex mutex_;
  std::condition_variable open_;
  bool isOpen_ = false;
};

TEST(PcmPlayer, AStalledSourceFailsCommandsInTimeAndPlaysOnceItAnswers) {
  test::VirtualMachine machine;
  const auto source = std::make_shared<GatedSource>();
  PcmPlayer player(100ms);
  EXPECT_EQ(player.Play(source, 0, 4410), kDeviceTimeout);
  std::uint64_t frame = 1;
  EXPECT_EQ(player.Position(frame), kDeviceTimeout);
  EXPECT_EQ(player.Stop(), kDeviceTimeout);  // the play is still being carried out
  EXPECT_EQ(player.CurrentState(), PcmPlayer::State::kPlaying);

  source->LetGo();
  EXPECT_TRUE(Eventually([&] { return player.CurrentState() == PcmPlayer::State::kStopped; }));
  EXPECT_EQ(player.Position(frame), kMciOk);
  EXPECT_EQ(frame, 4410u);  // the whole range was played
  EXPECT_EQ(player.Play(source, 0, 4410), kMciOk);
  EXPECT_EQ(player.Stop(), kMciOk);
}

TEST(PcmPlayer, APlayerStalledInItsSourceGoesAwayWithoutWaitingForIt) {
  test::VirtualMachine machine;
  const auto source = std::make_shared<GatedSource>();
  auto player = std::make_unique<PcmPlayer>(100ms);
  EXPECT_EQ(player->Play(source, 0, 44100), kDeviceTimeout);
  player.reset();
  // The worker still holds the source; once the source answers, it stops and lets go.
  EXPECT_GT(source.use_count(), 1);
  source->LetGo();
  EXPECT_TRUE(Eventually([&] { return source.use_count() == 1; }));
}

}  // namespace
}  // namespace vx::mci

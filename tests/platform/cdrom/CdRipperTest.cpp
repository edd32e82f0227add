#include "platform/cdrom/CdRipper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/cdrom/CdDriveInventory.h"
#include "platform/cdrom/CdSectorReader.h"
#include "platform/cdrom/CdTime.h"
#include "platform/cdrom/TestDisc.h"
#include "platform/riff/WaveFile.h"
#include "support/TestFolder.h"

namespace vx::cdrom {
namespace {

// Collects a copy's events and lets the test wait for its end.
class RipEvents {
 public:
  void Attach(CdRipper& ripper) {
    ripper.SetExtractionProgress([this](std::int32_t value) {
      std::lock_guard lock(mutex_);
      progress_.push_back(value);
    });
    ripper.SetExtractionDone([this] {
      std::lock_guard lock(mutex_);
      ++done_;
      changed_.notify_all();
    });
  }
  void WaitDone(int count = 1) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return done_ >= count; });
  }
  std::vector<std::int32_t> Progress() {
    std::lock_guard lock(mutex_);
    return progress_;
  }
  int Done() {
    std::lock_guard lock(mutex_);
    return done_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::int32_t> progress_;
  int done_ = 0;
};

// A ripper over virtual drives D (the test disc) and E (an empty tray).
CdRipper MakeRipper() {
  const std::string loaded = test::TestFolder() + "/tray1";
  const std::string empty = test::TestFolder() + "/tray2";
  test::WriteTestDisc(loaded);
  std::filesystem::create_directories(empty);
  return CdRipper([=] {
    return ListCdDrives(DeviceConfig::Parse(("cd=" + loaded + "," + empty).c_str(), nullptr));
  });
}

}  // namespace

TEST(CdromRipper, CopiesTrackTwoIntoAWaveFile) {
  CdRipper ripper = MakeRipper();
  RipEvents events;
  events.Attach(ripper);
  const std::string wave = test::TestFolder() + "/VXR1.tmp";
  EXPECT_FALSE(ripper.IsReady());
  EXPECT_EQ(ripper.ExtractTrack(2, wave), kRipNotInitialized);
  ASSERT_EQ(ripper.Initialize(), kRipOk);
  EXPECT_TRUE(ripper.IsReady());
  EXPECT_EQ(ripper.ExtractTrack(2, wave), kRipNoDrive);  // none selected yet
  EXPECT_EQ(ripper.SelectDrive(2), kRipNoDrive);
  ASSERT_EQ(ripper.SelectDrive(0), kRipOk);
  ASSERT_EQ(ripper.ExtractTrack(2, wave), kRipOk);
  events.WaitDone();

  const auto progress = events.Progress();
  ASSERT_FALSE(progress.empty());
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_EQ(progress.back(), 1000);
  EXPECT_EQ(std::count(progress.begin(), progress.end(), 1000), 1);

  riff::WaveLayout layout;
  ASSERT_EQ(riff::ReadWaveLayout(wave, layout), riff::WaveError::kNone);
  EXPECT_EQ(layout.format, riff::WaveFormat::Pcm16(2, 44100));
  const long frames = 225 * static_cast<long>(kSampleFramesPerSector);
  ASSERT_EQ(layout.dataSize, static_cast<std::uint32_t>(frames * 4));
  std::vector<char> data(layout.dataSize);
  std::ifstream in(wave, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(layout.dataOffset));
  ASSERT_TRUE(in.read(data.data(), static_cast<std::streamsize>(data.size())));
  long mismatches = 0;
  for (long frame = 0; frame < frames; ++frame) {
    for (int channel = 0; channel < 2; ++channel) {
      std::int16_t sample;
      std::memcpy(&sample, &data[(frame * 2 + channel) * 2], 2);
      mismatches += sample != test::TestDiscSample(2, frame, channel) ? 1 : 0;
    }
  }
  EXPECT_EQ(mismatches, 0);

  // An independent reader agrees on the sample count.
  FILE* sox = popen(("sox --i -s '" + wave + "' 2>/dev/null").c_str(), "r");
  ASSERT_NE(sox, nullptr);
  char line[64] = {};
  const bool answered = std::fgets(line, sizeof line, sox) != nullptr;
  pclose(sox);
  if (answered) {
    EXPECT_EQ(std::atol(line), frames);
  }
}

TEST(CdromRipper, RefusesWhatCannotBeCopied) {
  CdRipper ripper = MakeRipper();
  RipEvents events;
  events.Attach(ripper);
  ASSERT_EQ(ripper.Initialize(), kRipOk);
  ASSERT_EQ(ripper.SelectDrive(0), kRipOk);
  const std::string wave = test::TestFolder() + "/out.wav";
  EXPECT_EQ(ripper.ExtractTrack(4, wave), kRipDataTrack);
  EXPECT_EQ(ripper.ExtractTrack(5, wave), kRipNoSuchTrack);
  EXPECT_EQ(ripper.ExtractTrack(0, wave), kRipNoSuchTrack);
  EXPECT_EQ(ripper.ExtractTrack(1, test::TestFolder() + "/no/such/folder/x.wav"),
            kRipCannotWrite);
  ASSERT_EQ(ripper.SelectDrive(1), kRipOk);
  EXPECT_EQ(ripper.ExtractTrack(1, wave), kRipNoDisc);
  EXPECT_EQ(events.Done(), 0);  // nothing started, so no events
  EXPECT_TRUE(events.Progress().empty());

  CdRipper none([] { return std::vector<CdDrive>{}; });
  EXPECT_EQ(none.Initialize(), kRipNoDrive);
  EXPECT_EQ(none.SelectDrive(0), kRipNoDrive);
}

TEST(CdromRipper, BusyWhileCopyingAndCancelEndsIncomplete) {
  CdRipper ripper = MakeRipper();
  ASSERT_EQ(ripper.Initialize(), kRipOk);
  ASSERT_EQ(ripper.SelectDrive(0), kRipOk);

  // The first progress event holds the worker until the test has tried a second copy, then
  // cancels from inside the handler.
  std::promise<void> triedSecond;
  auto mayGoOn = triedSecond.get_future();
  RipEvents events;
  events.Attach(ripper);
  std::mutex mutex;
  std::vector<std::int32_t> seen;
  bool first = true;
  ripper.SetExtractionProgress([&](std::int32_t value) {
    std::lock_guard lock(mutex);
    seen.push_back(value);
    if (!std::exchange(first, false)) return;
    mayGoOn.wait();
    ripper.CancelExtraction();
  });
  ASSERT_EQ(ripper.ExtractTrack(1, test::TestFolder() + "/one.wav"), kRipOk);
  EXPECT_EQ(ripper.ExtractTrack(3, test::TestFolder() + "/three.wav"), kRipBusy);
  triedSecond.set_value();
  events.WaitDone();
  {
    std::lock_guard lock(mutex);
    ASSERT_FALSE(seen.empty());
    EXPECT_LT(seen.back(), 1000);  // incomplete
  }
  EXPECT_EQ(events.Done(), 1);

  // The ripper is free again; the next copy runs to the end.
  RipEvents again;
  again.Attach(ripper);
  ASSERT_EQ(ripper.ExtractTrack(3, test::TestFolder() + "/three.wav"), kRipOk);
  again.WaitDone();
  EXPECT_EQ(again.Progress().back(), 1000);
  EXPECT_EQ(ripper.CancelExtraction(), kRipOk);  // nothing runs: harmless
}

TEST(CdromRipper, DestroyingARunningRipperStopsIt) {
  RipEvents events;
  {
    CdRipper ripper = MakeRipper();
    events.Attach(ripper);
    ASSERT_EQ(ripper.Initialize(), kRipOk);
    ASSERT_EQ(ripper.SelectDrive(0), kRipOk);
    ASSERT_EQ(ripper.ExtractTrack(1, test::TestFolder() + "/one.wav"), kRipOk);
  }
  EXPECT_EQ(events.Done(), 1);  // the copy ended, one way or the other, before destruction
}

// The paranoia reader (used for real drives) serves an image too, so both readers are
// checked here against the known samples of track 2.
TEST(CdromSectorReader, ParanoiaAndPlainReadersGiveTheTrackExactly) {
  const auto disc = CdDisc::Open(test::WriteTestDisc(test::TestFolder() + "/disc"));
  ASSERT_NE(disc, nullptr);
  for (const auto& reader : {MakeParanoiaReader(*disc), MakePlainReader(*disc)}) {
    long first = 0;
    long sectors = 0;
    ASSERT_TRUE(reader->Begin(*disc->Toc().Find(2), first, sectors));
    EXPECT_EQ(first, 225);
    EXPECT_EQ(sectors, 225);
    std::vector<std::uint8_t> sector(kRawSectorBytes);
    long mismatches = 0;
    for (long s = 0; s < sectors; ++s) {
      ASSERT_TRUE(reader->ReadNext(sector.data()));
      for (long i = 0; i < static_cast<long>(kSampleFramesPerSector) * 2; ++i) {
        std::int16_t sample;
        std::memcpy(&sample, &sector[i * 2], 2);
        const long frame = s * static_cast<long>(kSampleFramesPerSector) + i / 2;
        mismatches += sample != test::TestDiscSample(2, frame, static_cast<int>(i % 2)) ? 1 : 0;
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
}

}  // namespace vx::cdrom

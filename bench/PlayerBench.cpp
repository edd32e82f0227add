// Live player figures with real WAV decks (CWavPlayerDlg) on virtual outputs, keys delivered
// to the deck windows as QTest key clicks:
//  - keypress-to-sound latency in device time at real-time speed, for Space (play after
//    pause) and for a numeric-pad cue key (jump to a cue and play) (goal: 30 ms);
//  - underruns per output with two decks playing and their 10 ms meters redrawing, for
//    VX_BENCH_PLAYER_MINUTES (default 10) minutes of device time at VX_BENCH_PLAYER_SPEED
//    (default 10) times real time (goal: 0);
//  - resident memory (VmRSS) with two decks playing (goal: 150 MB).
#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "library/CCueListRec.h"
#include "library/CSongRecordset.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/wave/BufferPump.h"
#include "platform/wave/DeviceClock.h"
#include "platform/wave/WaveDeviceList.h"
#include "player/CLevelMeter.h"
#include "player/CWavPlayerDlg.h"
#include "player/engine/CWavPlayerThread.h"
#include "player/engine/EngineTestKit.h"
#include "player/PlayerHost.h"
#include "support/TestFolder.h"

namespace {

using vx::player::CWavPlayerDlg;
using vx::player::DeckState;

constexpr int kRate = 44100;
constexpr double kLatencyGoalMs = 30;
constexpr double kRssGoalMb = 150;
constexpr int kRepeats = 10;
constexpr int kCueCount = 4;  // cues at 5, 10, 15 and 20 s: pad keys 1..4

double EnvNumber(const char* name, double fallback) {
  const char* text = std::getenv(name);
  const double value = text ? std::atof(text) : 0;
  return value > 0 ? value : fallback;
}

// Resident memory of this process in kB (VmRSS of /proc/self/status).
long RssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

std::uint64_t Frames(vx::wave::WaveOut& output) {
  std::uint64_t frames = 0;
  output.Position(frames);
  return frames;
}

// Runs posted events (meter timers included) and polls until condition holds; answers the
// monotonic time in ns when it was first seen to hold, or -1 after the limit.
std::int64_t PollUntil(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const std::int64_t until = vx::wave::DeviceClock::NowNs() +
                             std::chrono::duration_cast<std::chrono::nanoseconds>(limit).count();
  while (true) {
    if (condition()) return vx::wave::DeviceClock::NowNs();
    if (vx::wave::DeviceClock::NowNs() > until) return -1;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
}

// Keeps the event loop running for a while of real time.
void Spin(int ms) {
  const std::int64_t until = vx::wave::DeviceClock::NowNs() + std::int64_t{ms} * 1000000;
  PollUntil([&] { return vx::wave::DeviceClock::NowNs() >= until; },
            std::chrono::milliseconds(ms + 1000));
}

// The songs: numbered stereo 16-bit PCM files and their rows, in the library folder made
// (and recorded as the song library) in the bench's temporary folder.
class SongLibrary {
 public:
  SongLibrary() : folder_(vx::test::MakeTestLibrary()) {
    db_.Open(folder_ + "/Velumix.vxl", vx::dao::OpenMode::Shared);
  }

  // A song of that many seconds with kCueCount cues, 5 s apart from 5 s on.
  void AddSong(std::int32_t id, double seconds) {
    vx::player::test::WriteSong(
        SongsFolder(), static_cast<std::uint32_t>(id),
        vx::player::test::NumberedFrames(static_cast<std::uint32_t>(seconds * kRate), 2), 2,
        kRate);
    vx::CSongRecordset songs(db_);
    songs.Open();
    songs.AddNew();
    songs.SongID = id;
    songs.SongTypeCode = "HOUSE";
    songs.SongName = "SONG " + std::to_string(id);
    songs.SongArtist = "ARTIST " + std::to_string(id);
    songs.SongAttributes = "ATTR";
    songs.SongBPM = 120;
    songs.SongCompression = " ";
    songs.Update();
    vx::CCueListRec cues(db_);
    cues.Open();
    for (int n = 1; n <= kCueCount; ++n) {
      char offset[16];
      std::snprintf(offset, sizeof offset, "00:%02d.000", 5 * n);
      cues.AddNew();
      cues.CueDescription = "CUE " + std::to_string(n);
      cues.CueNumber = static_cast<std::int16_t>(n);
      cues.CueOffset = offset;
      cues.SongID = id;
      cues.Update();
    }
  }

  vx::dao::DaoDatabase& Db() { return db_; }
  std::string SongsFolder() const { return folder_ + "/Songs"; }

 private:
  std::string folder_;
  vx::dao::DaoDatabase db_;
};

// Virtual outputs at one clock speed and a real WAV deck on each, this object their host.
class DeckHost : public vx::player::PlayerHost {
 public:
  DeckHost(SongLibrary& library, double speed, int decks, const std::string& tapeName) {
    vx::DeviceConfig config;
    config.virtualOnly = true;
    config.speed = speed;
    for (int i = 0; i < decks; ++i) {
      config.waveOutputs.push_back(vx::test::TestFolder() + "/" + tapeName + std::to_string(i) +
                                   ".wav");
    }
    devices_ = vx::wave::WaveDeviceList::Build(config, {});
    for (int i = 0; i < decks; ++i) {
      vx::player::WavDeckSetup setup;
      setup.index = i;
      setup.device = static_cast<std::uint32_t>(i);
      setup.deviceName = QStringLiteral("Virtual Output %1").arg(i + 1);
      setup.songsFolder = library.SongsFolder();
      setup.database = &library.Db();
      setup.host = this;
      setup.devices = devices_.get();
      setup.makeServerLink = [] { return std::make_unique<vx::player::test::NoServer>(); };
      decks_.push_back(std::make_unique<CWavPlayerDlg>(std::move(setup)));
      if (decks_.back()->StartUp() != CWavPlayerDlg::kReady) {
        throw std::runtime_error("a deck did not start");
      }
      decks_.back()->show();
    }
  }
  // The decks close their engines before the outputs go.
  ~DeckHost() override { decks_.clear(); }

  CWavPlayerDlg& Deck(int index) { return *decks_.at(static_cast<std::size_t>(index)); }
  // The deck's handle on its output: the output's first opener.
  vx::wave::WaveOut& Output(int index) {
    return *devices_->Output(static_cast<std::size_t>(index))->OpenerHandle(0);
  }

  // Loads a song on a deck (it starts playing) and waits until its output has played 300 ms.
  void Play(int index, std::int32_t songId) {
    if (!Deck(index).LoadSong(songId) ||
        PollUntil([&] { return Frames(Output(index)) >= kRate * 3 / 10; }) < 0) {
      throw std::runtime_error("a deck did not play its song");
    }
  }

  CWavPlayerDlg* WavDeck(int index) const override {
    return index >= 0 && index < static_cast<int>(decks_.size())
               ? decks_[static_cast<std::size_t>(index)].get()
               : nullptr;
  }
  std::int32_t HotListEntry(int) const override { return 0; }
  void ShowHelp(QWidget*, const QString&, const QString&) override {}
  void Select(QWidget* window) override {
    if (window) window->setFocus();
  }

 private:
  std::unique_ptr<vx::wave::WaveDeviceList> devices_;
  std::vector<std::unique_ptr<CWavPlayerDlg>> decks_;
};

// Prints median and max of latencies in ms (negative entries are keys that never sounded).
void PrintLatency(const char* what, std::vector<double> ms) {
  const auto failed = std::count_if(ms.begin(), ms.end(), [](double v) { return v < 0; });
  ms.erase(std::remove_if(ms.begin(), ms.end(), [](double v) { return v < 0; }), ms.end());
  std::sort(ms.begin(), ms.end());
  if (ms.empty()) {
    std::printf("%-28s no sound after any key (goal <= %.0f ms)\n", what, kLatencyGoalMs);
    return;
  }
  const std::size_t n = ms.size();
  const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
  std::printf("%-28s median %6.2f ms  max %6.2f ms  (n=%zu%s)  goal <= %.0f ms: %s\n", what,
              median, ms.back(), n, failed ? ", some keys never sounded" : "", kLatencyGoalMs,
              ms.back() <= kLatencyGoalMs && failed == 0 ? "met" : "MISSED");
}

// Keypress-to-sound latencies on one deck at real-time speed: device time from the key
// click to the output having played one period of the new sound.
void MeasureLatency(SongLibrary& library) {
  constexpr double kSpeed = 1;
  DeckHost host(library, kSpeed, 1, "latency");
  CWavPlayerDlg& deck = host.Deck(0);
  vx::wave::WaveOut& output = host.Output(0);
  const std::uint64_t period =
      vx::wave::BufferPump::PeriodFrames(vx::riff::WaveFormat::Pcm16(2, kRate));
  host.Play(0, 1);

  // Device ms between two monotonic times (real time x speed).
  const auto deviceMs = [&](std::int64_t from, std::int64_t to) {
    return to < 0 ? -1.0 : static_cast<double>(to - from) / 1e6 * kSpeed;
  };
  std::vector<double> space, cue;
  for (int i = 0; i < kRepeats; ++i) {
    // Pause, wait until the output holds still, then a varying pause so the key falls at
    // different points of the device period.
    QTest::keyClick(&deck, Qt::Key_Space);
    std::uint64_t held = Frames(output);
    PollUntil([&] {
      Spin(30);
      const std::uint64_t now = Frames(output);
      const bool still = now == held;
      held = now;
      return still;
    });
    Spin(50 + 7 * i);
    // Space: sound once the held position has moved on by one period.
    const std::uint64_t before = Frames(output);
    std::int64_t pressed = vx::wave::DeviceClock::NowNs();
    QTest::keyClick(&deck, Qt::Key_Space);
    space.push_back(
        deviceMs(pressed, PollUntil([&] { return Frames(output) >= before + period; })));
    Spin(300 + 11 * i);

    // Pad cue key: the engine resets the output (its position restarts at 0); sound once
    // one period has played after the reset.
    std::uint64_t last = Frames(output);
    bool reset = false;
    pressed = vx::wave::DeviceClock::NowNs();
    QTest::keyClick(&deck, static_cast<Qt::Key>(Qt::Key_1 + i % kCueCount), Qt::KeypadModifier);
    cue.push_back(deviceMs(pressed, PollUntil([&] {
                             const std::uint64_t now = Frames(output);
                             reset = reset || now < last;
                             last = now;
                             return reset && now >= period;
                           })));
    Spin(300);
  }
  std::printf("Keypress-to-sound latency, device time at speed %.0f, %d keys each:\n", kSpeed,
              kRepeats);
  PrintLatency("  Space (play after pause)", space);
  PrintLatency("  pad cue key (jump + play)", cue);
  if (deck.ErrorCount() != 0) std::printf("  deck failures: %ld\n", deck.ErrorCount());
}

// Counts paint events of a widget (the deck meters) to show the redraw rate.
class PaintCounter : public QObject {
 public:
  long paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Two decks playing with their meters redrawing for `minutes` of device time at `speed`;
// underruns per output and resident memory.
void MeasureTwoDecks(SongLibrary& library, double minutes, double speed) {
  DeckHost host(library, speed, 2, "soak");
  PaintCounter meterPaints;
  for (int i = 0; i < 2; ++i) {
    host.Deck(i).Meter()->installEventFilter(&meterPaints);
    host.Play(i, i + 1);
  }
  const std::uint64_t target = static_cast<std::uint64_t>(minutes * 60 * kRate);
  // The event loop runs the decks' timers; a sampler keeps the peak memory and ends the
  // loop once both outputs have played the target time (or after twice the expected time).
  long peakRssKb = RssKb();
  QEventLoop loop;
  QTimer sampler;
  QObject::connect(&sampler, &QTimer::timeout, [&] {
    peakRssKb = std::max(peakRssKb, RssKb());
    if (Frames(host.Output(0)) >= target && Frames(host.Output(1)) >= target) loop.quit();
  });
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  sampler.start(100);
  limit.start(static_cast<int>(2 * minutes * 60 * 1000 / speed) + 30000);
  const std::int64_t start = vx::wave::DeviceClock::NowNs();
  loop.exec();
  const double realSeconds = static_cast<double>(vx::wave::DeviceClock::NowNs() - start) / 1e9;
  const long endRssKb = RssKb();

  std::printf("Two decks playing, meters redrawing (%.0f meter paints/s), %.1f min of device "
              "time at speed %g (%.1f s real):\n",
              static_cast<double>(meterPaints.paints) / 2 / realSeconds, minutes, speed,
              realSeconds);
  for (int i = 0; i < 2; ++i) {
    const std::uint64_t underruns = host.Output(i).Underruns();
    std::printf("  output %d: %.2f min played, %llu underruns (goal 0: %s), deck %s, %ld "
                "failures\n",
                i + 1, static_cast<double>(Frames(host.Output(i))) / kRate / 60,
                static_cast<unsigned long long>(underruns), underruns == 0 ? "met" : "MISSED",
                host.Deck(i).State() == DeckState::Playing ? "playing" : "NOT playing",
                host.Deck(i).ErrorCount());
  }
  std::printf("Resident memory with two decks playing: %.1f MB at the end, peak %.1f MB "
              "(goal <= %.0f MB: %s)\n",
              endRssKb / 1024.0, peakRssKb / 1024.0, kRssGoalMb,
              peakRssKb / 1024.0 <= kRssGoalMb ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const double minutes = EnvNumber("VX_BENCH_PLAYER_MINUTES", 10);
  const double speed = EnvNumber("VX_BENCH_PLAYER_SPEED", 10);
  // A temporary folder of our own for settings, runtime files, songs and tapes.
  vx::test::ResetTestFolder();
  std::filesystem::permissions(vx::test::TestFolder() + "/run", std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace);
  setenv("XDG_CONFIG_HOME", (vx::test::TestFolder() + "/config").c_str(), 1);
  int result = 0;
  {
    QApplication application(argc, argv);
    try {
      SongLibrary library;
      // Long enough that neither deck reaches its end (the deck pauses there) in the run.
      const double songSeconds = std::max(60.0, minutes * 60 + 30);
      library.AddSong(1, songSeconds);
      library.AddSong(2, songSeconds);
      MeasureLatency(library);
      MeasureTwoDecks(library, minutes, speed);
    } catch (const std::exception& error) {
      std::fprintf(stderr, "bench_player: %s\n", error.what());
      result = 1;
    }
  }
  vx::test::RemoveTestFolder();
  return result;
}

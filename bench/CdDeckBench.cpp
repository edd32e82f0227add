// The CD deck in the player, on a virtual tray and three virtual outputs (two WAV decks on
// outputs 1 and 2, the CD deck on output 3), keys delivered as QTest key clicks:
//  - keypress-to-sound latency in device time at real-time speed for a numeric-pad cue key
//    with lag compensation on (Enter), the CD playing (goal: 30 ms);
//  - underruns per output with the CD deck and both WAV decks playing, for
//    VX_BENCH_PLAYER_MINUTES (default 10) minutes of device time at VX_BENCH_PLAYER_SPEED
//    (default 10) times real time (goal: 0).
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
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cd/ToneDisc.h"
#include "LiveBenchKit.h"
#include "library/CCueListRec.h"
#include "library/CSongRecordset.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/mci/MciSession.h"
#include "platform/wave/BufferPump.h"
#include "platform/wave/virtual/DeviceClock.h"
#include "platform/wave/WaveDeviceList.h"
#include "player/CPlayerApp.h"
#include "player/CWavPlayerDlg.h"
#include "player/cd/CCdPlayerDlg.h"
#include "player/cd/CdDeckHook.h"
#include "player/engine/EngineTestKit.h"
#include "support/TestFolder.h"

namespace {

using vx::bench::EnvNumber;
using vx::bench::PollUntil;
using vx::bench::Spin;

using vx::player::CCdPlayerDlg;
using vx::player::CPlayerApp;

constexpr int kRate = 44100;
constexpr double kLatencyGoalMs = 30;
constexpr int kRepeats = 10;
constexpr std::size_t kCdOutput = 2;

std::uint64_t Frames(std::size_t output) {
  vx::wave::WaveOut* opener = vx::wave::WaveDeviceList::System().Output(output)->OpenerHandle(0);
  std::uint64_t frames = 0;
  if (opener != nullptr) opener->Position(frames);
  return frames;
}

std::uint64_t Underruns(std::size_t output) {
  vx::wave::WaveOut* opener = vx::wave::WaveDeviceList::System().Output(output)->OpenerHandle(0);
  return opener != nullptr ? opener->Underruns() : 0;
}

// A library with two WAV songs and the disc's first track logged with four cues, a tray
// with a disc of one long tone track, and three virtual outputs at one clock speed.
class Machine {
 public:
  Machine(double seconds, double speed) {
    const std::string folder = vx::test::TestFolder();
    // Each measurement builds its machine afresh in the same folder.
    std::filesystem::remove_all(folder + "/library");
    std::filesystem::remove_all(folder + "/tray");
    vx::player::test::ToneDisc disc;
    disc.trackSeconds = {static_cast<int>(seconds)};
    disc.dataSeconds = 0;
    vx::player::test::WriteToneDisc(folder + "/tray", disc);
    const std::string devices = "out=" + folder + "/cd0.wav," + folder + "/cd1.wav," + folder +
                                "/cd2.wav;cd=" + folder + "/tray";
    setenv("VELUMIX_DEVICES", devices.c_str(), 1);
    setenv("VELUMIX_SPEED", std::to_string(speed).c_str(), 1);
    vx::wave::WaveDeviceList::InstallSystem(nullptr);

    const std::string library = vx::test::MakeTestLibrary();
    vx::dao::DaoDatabase db;
    db.Open(library + "/Velumix.vxl", vx::dao::OpenMode::Shared);
    for (std::int32_t id = 1; id <= 2; ++id) {
      vx::player::test::WriteSong(
          library + "/Songs", static_cast<std::uint32_t>(id),
          vx::player::test::NumberedFrames(static_cast<std::uint32_t>(seconds * kRate), 2), 2,
          kRate);
      AddRow(db, id, "", 0);
    }
    AddRow(db, 3, DiscIdentity(), 1);
    vx::CCueListRec cues(db);
    cues.Open();
    for (int n = 1; n <= 4; ++n) {
      char offset[16];
      std::snprintf(offset, sizeof offset, "00:%02d:00", 5 * n);
      cues.AddNew();
      cues.CueDescription = "CUE " + std::to_string(n);
      cues.CueNumber = static_cast<std::int16_t>(n);
      cues.CueOffset = offset;
      cues.SongID = 3;
      cues.Update();
    }
  }
  ~Machine() { vx::wave::WaveDeviceList::InstallSystem(nullptr); }

 private:
  static std::string DiscIdentity() {
    vx::mci::MciSession& session = vx::mci::MciSession::System();
    vx::mci::MciDeviceId id = 0;
    std::string identity;
    if (session.Open({vx::mci::kCdAudioType, "D:", "benchprobe"}, id) != vx::mci::kMciOk ||
        session.InfoIdentity(id, identity) != vx::mci::kMciOk) {
      throw std::runtime_error("the virtual disc cannot be read");
    }
    session.Close(id);
    return identity;
  }
  static void AddRow(vx::dao::DaoDatabase& db, std::int32_t id, const std::string& cdId,
                     int track) {
    vx::CSongRecordset songs(db);
    songs.Open();
    songs.AddNew();
    songs.SongID = id;
    songs.SongTypeCode = "HOUSE";
    songs.SongName = "SONG " + std::to_string(id);
    songs.SongArtist = "ARTIST";
    songs.SongBPM = 120;
    songs.SongCompression = cdId.empty() ? " " : "C";
    songs.SongCdId = cdId;
    songs.SongCdTrack = static_cast<std::int16_t>(track);
    songs.Update();
  }
};

// The player with its decks; throws when they are not all there.
std::unique_ptr<CPlayerApp> StartPlayer() {
  CPlayerApp::Environment env;
  env.makeServerLink = [] { return std::make_unique<vx::player::test::NoServer>(); };
  env.makeCdDeck = vx::player::MakeCdDeck;
  auto app = std::make_unique<CPlayerApp>(std::move(env));
  if (!app->StartUp() || app->WavDeckCount() != 2 || app->CdDeck() == nullptr) {
    throw std::runtime_error("the player did not start with two WAV decks and a CD deck");
  }
  return app;
}

CCdPlayerDlg& CdDeck(CPlayerApp& app) { return *qobject_cast<CCdPlayerDlg*>(app.CdDeck()); }

// A compensated cue play restarts the CD's output: sound once one period has played on the
// new opener (its position starts again from 0).
void MeasureLatency() {
  Machine machine(120, 1);
  auto app = StartPlayer();
  CCdPlayerDlg& deck = CdDeck(*app);
  const std::uint64_t period =
      vx::wave::BufferPump::PeriodFrames(vx::riff::WaveFormat::Pcm16(2, kRate));
  QTest::keyClick(&deck, Qt::Key_Space);
  QTest::keyClick(&deck, Qt::Key_Enter);
  if (PollUntil([&] { return Frames(kCdOutput) >= period * 4; }) < 0) {
    throw std::runtime_error("the CD deck did not play");
  }
  std::vector<double> cue;
  for (int i = 0; i < kRepeats; ++i) {
    Spin(200 + 13 * i);
    const std::int64_t pressed = vx::wave::DeviceClock::NowNs();
    QTest::keyClick(&deck, static_cast<Qt::Key>(Qt::Key_1 + i % 4), Qt::KeypadModifier);
    const std::int64_t heard = PollUntil([&] {
      const std::uint64_t now = Frames(kCdOutput);
      return now >= period && now < period * 8;
    });
    cue.push_back(heard < 0 ? -1.0 : static_cast<double>(heard - pressed) / 1e6);
  }
  std::printf("CD deck keypress-to-sound latency, device time at speed 1, %d keys:\n", kRepeats);
  vx::bench::PrintLatency("  pad cue key, lag compensated", cue, kLatencyGoalMs);
  std::printf("  lag after %d cue plays: %ld frames (history of %d entries); deck failures: "
              "%ld\n",
              kRepeats, deck.LagHistory().Lag(), deck.LagHistory().Count(), deck.ErrorCount());
}

// The CD deck and both WAV decks playing for `minutes` of device time at `speed`.
void MeasureThreeDecks(double minutes, double speed) {
  Machine machine(minutes * 60 + 30, speed);
  auto app = StartPlayer();
  for (int i = 0; i < 2; ++i) {
    if (!app->WavDeck(i)->LoadSong(i + 1)) throw std::runtime_error("a song did not load");
  }
  QTest::keyClick(&CdDeck(*app), Qt::Key_Space);
  const std::uint64_t target = static_cast<std::uint64_t>(minutes * 60 * kRate);
  QEventLoop loop;
  QTimer sampler;
  QObject::connect(&sampler, &QTimer::timeout, [&] {
    if (Frames(0) >= target && Frames(1) >= target && Frames(kCdOutput) >= target) loop.quit();
  });
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  sampler.start(100);
  limit.start(static_cast<int>(2 * minutes * 60 * 1000 / speed) + 30000);
  const std::int64_t start = vx::wave::DeviceClock::NowNs();
  loop.exec();
  const double realSeconds = static_cast<double>(vx::wave::DeviceClock::NowNs() - start) / 1e9;
  std::printf("CD deck and two WAV decks playing, %.1f min of device time at speed %g (%.1f s "
              "real):\n",
              minutes, speed, realSeconds);
  const char* names[] = {"WAV deck 1", "WAV deck 2", "CD deck"};
  for (std::size_t output = 0; output <= kCdOutput; ++output) {
    const std::uint64_t underruns = Underruns(output);
    std::printf("  output %zu (%s): %.2f min played, %llu underruns (goal 0: %s)\n", output + 1,
                names[output], static_cast<double>(Frames(output)) / kRate / 60,
                static_cast<unsigned long long>(underruns), underruns == 0 ? "met" : "MISSED");
  }
  std::printf("  failures: WAV decks %ld and %ld, CD deck %ld\n", app->WavDeck(0)->ErrorCount(),
              app->WavDeck(1)->ErrorCount(), CdDeck(*app).ErrorCount());
}

}  // namespace

int main(int argc, char** argv) {
  const double minutes = EnvNumber("VX_BENCH_PLAYER_MINUTES", 10);
  const double speed = EnvNumber("VX_BENCH_PLAYER_SPEED", 10);
  return vx::bench::RunInPrivateFolder(argc, argv, "bench_cd_deck", [&] {
    MeasureLatency();
    MeasureThreeDecks(minutes, speed);
    return 0;
  });
}

// Live player figures with real WAV decks (CWavPlayerDlg) on virtual outputs, keys delivered
// to the deck windows as QTest key clicks:
//  - keypress-to-sound latency in device time at real-time speed, for Space (play after
//    pause) and for a numeric-pad cue key (jump to a cue and play) (goal: 30 ms); the same
//    through the real backend (PortAudio) on ALSA's file plugin at PortAudio's default
//    buffer settings, in the same run. That sink takes samples as fast as they come, so its
//    figure is the program's own path from the key to the samples reaching ALSA;
//  - underruns per output with two decks playing and their 10 ms meters redrawing, for
//    VX_BENCH_PLAYER_MINUTES (default 10) minutes of device time at VX_BENCH_PLAYER_SPEED
//    (default 10) times real time (goal: 0), once on two outputs and once with both decks
//    on one shared output;
//  - resident memory (VmRSS) with two decks playing (goal: 150 MB);
//  - stress: two decks playing MS ADPCM songs through their own audio servers, a cue jump
//    (numeric-pad key) every 2 s of device time on each, meters at 100 Hz, the second
//    deck's server answering every decode 50 ms of device time late; underruns per output
//    over the same device time (goal: 0 on the first deck's output; the slowed deck's are
//    reported);
//  - soak: a set played by "&Auto" over a playlist of PCM, MS ADPCM and MP3-in-WAVE songs,
//    VX_BENCH_SOAK_MINUTES (default 120) minutes of songs at VX_BENCH_PLAYER_SPEED: underruns
//    while songs play, failed loads, the frames on the tapes against the songs' decoded
//    lengths (every song heard to its last frame) and resident memory from the first song
//    to the last (goals: 0, 0, equal, growth under 5 MB).
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
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

#include "LiveBenchKit.h"
#include "audioserver/AudioServerSongs.h"
#include "library/CCueListRec.h"
#include "library/CSongRecordset.h"
#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/wave/BufferPump.h"
#include "platform/wave/WaveDeviceList.h"
#include "platform/wave/portaudio/PortAudioWave.h"
#include "platform/wave/virtual/DeviceClock.h"
#include "player/CControlPanelDlg.h"
#include "player/CLevelMeter.h"
#include "player/CWavPlayerDlg.h"
#include "player/HostDeckAccess.h"
#include "player/engine/AudioServerLink.h"
#include "player/engine/CAudioServerClient.h"
#include "player/engine/CWavPlayerThread.h"
#include "player/engine/EngineTestKit.h"
#include "player/PanelTestKit.h"
#include "player/PlayerHost.h"
#include "support/AlsaFileHome.h"
#include "support/TestFolder.h"

namespace {

using vx::bench::EnvNumber;
using vx::bench::PollUntil;
using vx::bench::PrintLatency;
using vx::bench::Spin;

using vx::player::AudioServerLink;
using vx::player::CWavPlayerDlg;
using vx::player::DeckState;

constexpr int kRate = 44100;
constexpr double kLatencyGoalMs = 30;
constexpr double kRssGoalMb = 150;
constexpr int kRepeats = 10;
constexpr int kCueCount = 4;  // cues at 5, 10, 15 and 20 s: pad keys 1..4

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

// The songs: numbered stereo 16-bit PCM files and their rows, in the library folder made
// (and recorded as the song library) in the bench's temporary folder.
class SongLibrary {
 public:
  SongLibrary() : folder_(vx::test::MakeTestLibrary()) {
    db_.Open(folder_ + "/Velumix.vxl", vx::dao::OpenMode::Shared);
  }

  // A song of that many seconds with kCueCount cues, 5 s apart from 5 s on: numbered PCM
  // frames, or those frames encoded by FFmpeg's encoder named by codec, or (codec "mp3") a
  // tone encoded by lame in a WAVE file with the MPEG Layer-3 record.
  void AddSong(std::int32_t id, double seconds, const std::string& codec = {}) {
    if (codec == "mp3") {
      const auto song =
          vx::audioserver::test::MakeMp3Song("song.mp3.wav", static_cast<int>(seconds));
      if (!song) throw std::runtime_error("lame could not encode a song");
      std::filesystem::rename(song->path, SongPath(id));
      AddRow(id, codec);
      return;
    }
    const std::string path = vx::player::test::WriteSong(
        SongsFolder(), static_cast<std::uint32_t>(id),
        vx::player::test::NumberedFrames(static_cast<std::uint32_t>(seconds * kRate), 2), 2,
        kRate);
    if (!codec.empty()) {
      const std::string pcm = path + ".pcm.wav";
      std::filesystem::rename(path, pcm);
      const std::string encode =
          "ffmpeg -v error -y -i " + pcm + " -c:a " + codec + " -f wav " + path;
      const bool encoded = std::system(encode.c_str()) == 0;
      std::filesystem::remove(pcm);
      if (!encoded) throw std::runtime_error("ffmpeg could not encode a song as " + codec);
    }
    AddRow(id, codec);
  }

  // Another song with the same file (a hard link) as song `of`.
  void AddCopy(std::int32_t id, std::int32_t of, const std::string& codec) {
    std::filesystem::create_hard_link(SongPath(of), SongPath(id));
    AddRow(id, codec);
  }

  std::string SongPath(std::int32_t id) const {
    return vx::SongFileNameInFolder(SongsFolder(), static_cast<std::uint32_t>(id));
  }

  vx::dao::DaoDatabase& Db() { return db_; }
  std::string SongsFolder() const { return folder_ + "/Songs"; }

 private:
  // The song's row and its kCueCount cues.
  void AddRow(std::int32_t id, const std::string& codec) {
    vx::CSongRecordset songs(db_);
    songs.Open();
    songs.AddNew();
    songs.SongID = id;
    songs.SongTypeCode = "HOUSE";
    songs.SongName = "SONG " + std::to_string(id);
    songs.SongArtist = "ARTIST " + std::to_string(id);
    songs.SongAttributes = "ATTR";
    songs.SongBPM = 120;
    songs.SongCompression = codec.empty() ? " " : codec == "adpcm_ms" ? "A" : "M";
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

  std::string folder_;
  vx::dao::DaoDatabase db_;
};

// The audio server link of deck index.
using MakeLink = std::function<std::unique_ptr<AudioServerLink>(int index)>;

// Virtual outputs at one clock speed, `count` of them.
std::unique_ptr<vx::wave::WaveDeviceList> VirtualOutputs(double speed, int count,
                                                         const std::string& tapeName) {
  vx::DeviceConfig config;
  config.virtualOnly = true;
  config.speed = speed;
  for (int i = 0; i < count; ++i) {
    config.waveOutputs.push_back(vx::test::TestFolder() + "/" + tapeName + std::to_string(i) +
                                 ".wav");
  }
  return vx::wave::WaveDeviceList::Build(config, {});
}

// Real WAV decks on outputs of a device list (deck i on output outputs[i]; an output given
// twice is shared, as the player shares it), this object their host. Without makeLink the
// decks play PCM only.
class DeckHost : public vx::player::PlayerHost {
 public:
  // A deck on each of `decks` virtual outputs.
  DeckHost(SongLibrary& library, double speed, int decks, const std::string& tapeName,
           const MakeLink& makeLink = {})
      : DeckHost(speed, decks, tapeName) {
    AddDecks(library, makeLink, nullptr);
  }
  DeckHost(SongLibrary& library, std::unique_ptr<vx::wave::WaveDeviceList> devices,
           std::vector<std::size_t> outputs)
      : DeckHost(std::move(devices), std::move(outputs)) {
    AddDecks(library, {}, nullptr);
  }
  // Only the outputs: the decks follow with AddDecks (a control panel needs this host first).
  DeckHost(double speed, int decks, const std::string& tapeName)
      : DeckHost(VirtualOutputs(speed, decks, tapeName), FirstOutputs(decks)) {}
  DeckHost(std::unique_ptr<vx::wave::WaveDeviceList> devices, std::vector<std::size_t> outputs)
      : devices_(std::move(devices)), outputs_(std::move(outputs)) {}

  // A started, shown deck on each output; the decks tell controlPanel when a song ends.
  void AddDecks(SongLibrary& library, const MakeLink& makeLink, QObject* controlPanel) {
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
      if (std::count(outputs_.begin(), outputs_.end(), outputs_[i]) > 1) {
        devices_->Output(outputs_[i])->SetMixFormat(vx::riff::WaveFormat::Pcm16(2, kRate));
      }
      vx::wave::WaveCaps caps;
      devices_->OutputCaps(outputs_[i], caps);
      vx::player::WavDeckSetup setup;
      setup.index = static_cast<int>(i);
      setup.device = static_cast<std::uint32_t>(outputs_[i]);
      setup.deviceName = QString::fromStdString(caps.name);
      setup.songsFolder = library.SongsFolder();
      setup.programFolder = VX_BIN_DIR;
      setup.database = &library.Db();
      setup.host = this;
      setup.controlPanel = controlPanel;
      setup.devices = devices_.get();
      setup.makeServerLink = [makeLink, i]() -> std::unique_ptr<AudioServerLink> {
        if (makeLink) return makeLink(static_cast<int>(i));
        return std::make_unique<vx::player::test::NoServer>();
      };
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
  // The deck's handle on its output: decks open their outputs in deck order, so a deck is
  // its output's first opener unless an earlier deck shares the output.
  vx::wave::WaveOut& Output(int index) {
    const auto deck = static_cast<std::size_t>(index);
    const auto place = static_cast<std::size_t>(
        std::count(outputs_.begin(), outputs_.begin() + static_cast<long>(deck), outputs_[deck]));
    return *devices_->Output(outputs_[deck])->OpenerHandle(place);
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
  static std::vector<std::size_t> FirstOutputs(int count) {
    std::vector<std::size_t> outputs(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < outputs.size(); ++i) outputs[i] = i;
    return outputs;
  }

  std::unique_ptr<vx::wave::WaveDeviceList> devices_;
  std::vector<std::size_t> outputs_;
  std::vector<std::unique_ptr<CWavPlayerDlg>> decks_;
};

// Keypress-to-sound latencies on one deck at real-time speed: device time from the key
// click to the output having played one period of the new sound.
void MeasureLatency(SongLibrary& library, std::unique_ptr<vx::wave::WaveDeviceList> devices,
                    std::size_t outputId, const char* where) {
  constexpr double kSpeed = 1;
  DeckHost host(library, std::move(devices), {outputId});
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
  std::printf("Keypress-to-sound latency, %s, device time at speed %.0f, %d keys each:\n",
              where, kSpeed, kRepeats);
  PrintLatency("  Space (play after pause)", space, kLatencyGoalMs);
  PrintLatency("  pad cue key (jump + play)", cue, kLatencyGoalMs);
  if (deck.ErrorCount() != 0) std::printf("  deck failures: %ld\n", deck.ErrorCount());
}

// The same latencies through PortAudio on a PCM of ALSA's file plugin (a test home's
// .asoundrc), at PortAudio's default buffer settings.
void MeasureFileOutputLatency(SongLibrary& library) {
  // The sink takes a song in moments; its bytes go nowhere rather than fill the disk.
  const vx::test::AlsaFileHome home({{"bench", "", "/dev/null"}});
  if (!vx::test::AlsaFileHome::AlsaAvailable()) {
    std::printf("Keypress-to-sound latency through ALSA's file plugin: skipped, PortAudio "
                "finds no ALSA host API\n");
    return;
  }
  vx::DeviceConfig config;  // no virtual devices
  auto devices = vx::wave::WaveDeviceList::Build(config, vx::wave::PortAudioDevices());
  for (std::size_t id = 0; id < devices->OutputCount(); ++id) {
    vx::wave::WaveCaps caps;
    devices->OutputCaps(id, caps);
    if (caps.name != "bench") continue;
    MeasureLatency(library, std::move(devices), id, "PortAudio on ALSA's file plugin");
    return;
  }
  std::printf("Keypress-to-sound latency through ALSA's file plugin: no such PCM listed\n");
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

// Two decks playing with their meters redrawing for `minutes` of device time at `speed`, on
// two outputs or sharing one; underruns per deck and resident memory.
void MeasureTwoDecks(SongLibrary& library, double minutes, double speed, bool shared) {
  DeckHost host(library, VirtualOutputs(speed, 2, shared ? "shared" : "soak"),
                shared ? std::vector<std::size_t>{0, 0} : std::vector<std::size_t>{0, 1});
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

  std::printf("Two decks playing %s, meters redrawing (%.0f meter paints/s), %.1f min of "
              "device time at speed %g (%.1f s real):\n",
              shared ? "on one shared output" : "on two outputs",
              static_cast<double>(meterPaints.paints) / 2 / realSeconds, minutes, speed,
              realSeconds);
  for (int i = 0; i < 2; ++i) {
    const std::uint64_t underruns = host.Output(i).Underruns();
    std::printf("  deck %d: %.2f min played, %llu underruns (goal 0: %s), deck %s, %ld "
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

// An audio server that answers every decode late, as a slow or overloaded one would.
class SlowServer : public AudioServerLink {
 public:
  SlowServer(std::unique_ptr<AudioServerLink> server, std::chrono::microseconds delay)
      : server_(std::move(server)), delay_(delay) {}

  int Start(const std::string& folder, int instance) override {
    return server_->Start(folder, instance);
  }
  bool IsBound() const override { return server_->IsBound(); }
  bool SetChunkSize(std::uint32_t bytes) override { return server_->SetChunkSize(bytes); }
  bool OpenSong(const std::vector<std::uint8_t>& record) override {
    return server_->OpenSong(record);
  }
  Status GetOutputFormat(std::uint32_t& maximum, std::vector<std::uint8_t>& record) override {
    return server_->GetOutputFormat(maximum, record);
  }
  Status Decode(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t& consumed,
                std::uint8_t* out, std::uint32_t capacity, std::uint32_t& produced) override {
    ++decodes;
    std::this_thread::sleep_for(delay_);
    return server_->Decode(bytes, count, consumed, out, capacity, produced);
  }
  void Finish() override { server_->Finish(); }

  std::atomic<long> decodes{0};

 private:
  std::unique_ptr<AudioServerLink> server_;
  std::chrono::microseconds delay_;
};

// Two decks on compressed songs through their servers, cue jumps every 2 s of device time
// on both, the second deck's server 50 ms of device time late on every decode.
void MeasureStress(SongLibrary& library, std::int32_t firstSong, double minutes, double speed) {
  constexpr double kJumpEveryMs = 2000;
  constexpr double kDelayMs = 50;
  SlowServer* slow = nullptr;
  DeckHost host(library, speed, 2, "stress", [&](int index) -> std::unique_ptr<AudioServerLink> {
    auto client = std::make_unique<vx::player::CAudioServerClient>();
    if (index == 0) return client;
    auto late = std::make_unique<SlowServer>(
        std::move(client),
        std::chrono::microseconds(static_cast<long>(kDelayMs * 1000 / speed)));
    slow = late.get();
    return late;
  });
  for (int i = 0; i < 2; ++i) host.Play(i, firstSong + i);

  // The event loop runs the decks' meters and displays; a timer presses a cue key on each
  // deck in turn, so each deck jumps every 2 s of device time.
  long jumps[2] = {0, 0};
  int turn = 0;
  QEventLoop loop;
  QTimer jumper;
  QObject::connect(&jumper, &QTimer::timeout, [&] {
    const int deck = turn % 2;
    const auto key = static_cast<Qt::Key>(Qt::Key_1 + (turn / 2) % kCueCount);
    QTest::keyClick(&host.Deck(deck), key, Qt::KeypadModifier);
    ++jumps[deck];
    ++turn;
  });
  QTimer end;
  end.setSingleShot(true);
  QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
  jumper.start(static_cast<int>(kJumpEveryMs / 2 / speed));
  end.start(static_cast<int>(minutes * 60 * 1000 / speed));
  loop.exec();
  jumper.stop();

  std::printf("Stress: two decks on MS ADPCM songs through their audio servers, a cue jump every "
              "%.0f s of device time on each, meters at 100 Hz, deck 2's server %.0f ms late "
              "per decode (%ld decodes), %.1f min of device time at speed %g:\n",
              kJumpEveryMs / 1000, kDelayMs, slow ? slow->decodes.load() : 0L, minutes, speed);
  for (int i = 0; i < 2; ++i) {
    const std::uint64_t underruns = host.Output(i).Underruns();
    std::printf("  output %d (%s): %ld jumps, %llu underruns%s, deck %s, %ld failures\n", i + 1,
                i == 0 ? "normal server" : "slowed server", jumps[i],
                static_cast<unsigned long long>(underruns),
                i == 0 ? (underruns == 0 ? " (goal 0: met)" : " (goal 0: MISSED)") : "",
                host.Deck(i).State() == DeckState::Playing ? "playing" : "NOT playing",
                host.Deck(i).ErrorCount());
  }
}

std::uint64_t TapeFrames(const std::string& tape) {
  vx::riff::WaveLayout layout;
  return vx::riff::ReadWaveLayout(tape, layout) == vx::riff::WaveError::kNone
             ? layout.dataSize / 4
             : 0;
}

// A set played by "&Auto": the control panel loads each playlist entry in turn, on the deck
// the previous one did not play on, when that one ends.
void MeasureSoak(SongLibrary& library, double minutes, double speed) {
  constexpr double kSongMinutes = 4;
  const char* kCodecs[] = {"", "adpcm_ms", "mp3"};
  constexpr std::int32_t kFirstId = 10;
  const int songs = std::max(3, static_cast<int>(std::ceil(minutes / kSongMinutes)));
  std::vector<std::int32_t> playlist;
  std::uint64_t kindFrames[3] = {0, 0, 0};
  for (int k = 0; k < songs; ++k) {
    const std::int32_t id = kFirstId + k;
    if (k < 3) {
      library.AddSong(id, kSongMinutes * 60, kCodecs[k]);
      // Stereo 16-bit frames as FFmpeg decodes the file (the audio server decodes alike).
      kindFrames[k] = vx::audioserver::test::FfmpegDecode(library.SongPath(id)).size() / 4;
    } else {
      library.AddCopy(id, kFirstId + k % 3, kCodecs[k % 3]);
    }
    playlist.push_back(id);
  }
  vx::player::test::AddPlaylist(library.Db(), "SOAK SET", playlist);

  // What the decks played, kept for after they closed their outputs (which completes the
  // tapes).
  std::uint64_t underruns[2] = {0, 0};
  std::uint64_t expected[2] = {0, 0};
  {
    DeckHost host(speed, 2, "set");
    vx::player::HostDeckAccess access(host);
    vx::player::CControlPanelDlg panel(library.Db(), access, vx::player::PlayerColors{}, {});
    host.AddDecks(library, [](int) { return std::make_unique<vx::player::CAudioServerClient>(); },
                  &panel);

    // Per deck: the song on it, the underruns its output counted while that song played (an
    // output counts from its opening, once per song; the last second, where the ring only
    // drains and the output runs dry at the song's end, is not counted).
    struct Watch {
      std::int32_t song = 0;
      std::uint64_t underrunsThisSong = 0;
      std::uint64_t underruns = 0;
      std::uint64_t expectedFrames = 0;
    } watch[2];
    const long songMs = static_cast<long>(kSongMinutes * 60 * 1000);
    int started = 0;
    long firstRssKb = 0, lastRssKb = 0, peakRssKb = 0;
    bool ended = false;
    QEventLoop loop;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
      peakRssKb = std::max(peakRssKb, RssKb());
      for (int i = 0; i < 2; ++i) {
        CWavPlayerDlg& deck = host.Deck(i);
        Watch& w = watch[i];
        if (deck.SongId() != w.song && deck.SongId() != 0) {
          w.underruns += w.underrunsThisSong;
          w.underrunsThisSong = 0;
          w.song = deck.SongId();
          w.expectedFrames += kindFrames[(w.song - kFirstId) % 3];
          ++started;
          lastRssKb = RssKb();
          if (started == 1) firstRssKb = lastRssKb;
        }
        if (deck.State() == DeckState::Playing && deck.HeardMs() < songMs - 1000) {
          w.underrunsThisSong = host.Output(i).Underruns();
        }
      }
      const CWavPlayerDlg& last = host.Deck((songs - 1) % 2);
      if (started == songs && last.SongId() == playlist.back() &&
          last.State() == DeckState::Paused) {
        ended = true;
        loop.quit();
      }
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    const double setMinutes = songs * kSongMinutes;
    panel.AutoBox()->setChecked(true);
    panel.OnLoadDeck(0);
    sampler.start(10);
    limit.start(static_cast<int>(2 * setMinutes * 60 * 1000 / speed) + 60000);
    const std::int64_t start = vx::wave::DeviceClock::NowNs();
    loop.exec();
    sampler.stop();
    const double realSeconds = static_cast<double>(vx::wave::DeviceClock::NowNs() - start) / 1e9;
    long failures = 0;
    for (int i = 0; i < 2; ++i) {
      watch[i].underruns += watch[i].underrunsThisSong;
      failures += host.Deck(i).ErrorCount();
    }
    std::printf("Soak: \"&Auto\" over %d songs of %.0f min (PCM, MS ADPCM, MP3 in WAVE in turn), "
                "%.0f min of songs at speed %g (%.0f s real), %s:\n",
                songs, kSongMinutes, setMinutes, speed, realSeconds,
                ended ? "played to the end" : "NOT played to the end in time");
    std::printf("  songs started %d of %d; failed loads and deck failures %ld (goal 0: %s)\n",
                started, songs, failures, failures == 0 ? "met" : "MISSED");
    std::printf("  resident memory at the first song %.1f MB, at the last %.1f MB: growth %.2f MB "
                "(goal < 5 MB: %s); peak %.1f MB\n",
                firstRssKb / 1024.0, lastRssKb / 1024.0, (lastRssKb - firstRssKb) / 1024.0,
                lastRssKb - firstRssKb < 5 * 1024 ? "met" : "MISSED", peakRssKb / 1024.0);
    for (int i = 0; i < 2; ++i) {
      underruns[i] = watch[i].underruns;
      expected[i] = watch[i].expectedFrames;
    }
  }
  for (int i = 0; i < 2; ++i) {
    const std::uint64_t frames =
        TapeFrames(vx::test::TestFolder() + "/set" + std::to_string(i) + ".wav");
    std::printf("  output %d: %llu underruns while songs played (goal 0: %s); %llu frames on the "
                "tape, the songs it played decode to %llu (every song to its last frame: %s)\n",
                i + 1, static_cast<unsigned long long>(underruns[i]),
                underruns[i] == 0 ? "met" : "MISSED", static_cast<unsigned long long>(frames),
                static_cast<unsigned long long>(expected[i]),
                frames == expected[i] ? "yes" : "NO");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const double minutes = EnvNumber("VX_BENCH_PLAYER_MINUTES", 10);
  const double speed = EnvNumber("VX_BENCH_PLAYER_SPEED", 10);
  return vx::bench::RunInPrivateFolder(argc, argv, "bench_player", [&] {
    SongLibrary library;
    // Long enough that neither deck reaches its end (the deck pauses there) in the run.
    const double songSeconds = std::max(60.0, minutes * 60 + 30);
    library.AddSong(1, songSeconds);
    library.AddSong(2, songSeconds);
    // The stress songs never pass their last cue (20 s): a minute each is enough.
    library.AddSong(3, 60, "adpcm_ms");
    library.AddSong(4, 60, "adpcm_ms");
    MeasureLatency(library, VirtualOutputs(1, 1, "latency"), 0, "virtual output");
    MeasureFileOutputLatency(library);
    MeasureTwoDecks(library, minutes, speed, false);
    MeasureTwoDecks(library, minutes, speed, true);
    MeasureStress(library, 3, minutes, speed);
    MeasureSoak(library, EnvNumber("VX_BENCH_SOAK_MINUTES", 120), speed);
    return 0;
  });
}

#include "PlayerTestKit.h"

#include <QApplication>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/EngineTestKit.h"
#include "library/CCueListRec.h"
#include "library/CSongRecordset.h"
#include "support/TestFolder.h"

namespace vx::player::test {

TestLibrary::TestLibrary() : folder_(vx::test::MakeTestLibrary()) {
  db_.Open(folder_ + "/Velumix.vxl", dao::OpenMode::Shared);
}

void TestLibrary::AddSong(std::int32_t id, double seconds, double bpm, const std::string& type,
                          const std::string& compression, const std::vector<std::string>& cues) {
  if (compression != "C") {
    const auto frames = static_cast<std::uint32_t>(seconds * 44100);
    WriteSong(SongsFolder(), static_cast<std::uint32_t>(id), NumberedFrames(frames, 2), 2, 44100);
  }
  CSongRecordset songs(db_);
  songs.Open();
  songs.AddNew();
  songs.SongID = id;
  songs.SongTypeCode = type;
  songs.SongName = "SONG " + std::to_string(id);
  songs.SongArtist = "ARTIST " + std::to_string(id);
  songs.SongAttributes = "ATTR";
  songs.SongBPM = bpm;
  songs.SongCompression = compression;
  songs.Update();
  CCueListRec cueRows(db_);
  cueRows.Open();
  for (std::size_t n = 0; n < cues.size(); ++n) {
    cueRows.AddNew();
    cueRows.CueDescription = "CUE " + std::to_string(n + 1);
    cueRows.CueNumber = static_cast<std::int16_t>(n + 1);
    cueRows.CueOffset = cues[n];
    cueRows.SongID = id;
    cueRows.Update();
  }
}

std::unique_ptr<wave::WaveDeviceList> VirtualOutputs(int count, double speed) {
  DeviceConfig config;
  config.virtualOnly = true;
  for (int i = 0; i < count; ++i) {
    config.waveOutputs.push_back(vx::test::TestFolder() + "/tape" + std::to_string(i) + ".wav");
  }
  config.speed = speed;
  return wave::WaveDeviceList::Build(config, {});
}

DeckRig::DeckRig(double speed, int outputs) : devices_(VirtualOutputs(outputs, speed)) {}

DeckRig::~DeckRig() { decks_.clear(); }

CWavPlayerDlg& DeckRig::AddDeck(int meterDelay) {
  WavDeckSetup setup;
  setup.index = static_cast<int>(decks_.size());
  setup.device = static_cast<std::uint32_t>(setup.index);
  setup.deviceName = QStringLiteral("Virtual Output %1").arg(setup.index + 1);
  setup.songsFolder = library.SongsFolder();
  setup.database = &library.Db();
  setup.meterDelay = meterDelay;
  setup.host = this;
  setup.controlPanel = controlPanel;
  setup.devices = devices_.get();
  if (realAudioServer) {
    setup.programFolder = VX_BIN_DIR;
  } else {
    setup.makeServerLink = makeServerLink ? makeServerLink
                                          : [] { return std::make_unique<NoServer>(); };
  }
  decks_.push_back(std::make_unique<CWavPlayerDlg>(std::move(setup)));
  EXPECT_EQ(decks_.back()->StartUp(), CWavPlayerDlg::kReady);
  return *decks_.back();
}

CWavPlayerDlg* DeckRig::WavDeck(int index) const {
  return index >= 0 && index < static_cast<int>(decks_.size())
             ? decks_[static_cast<std::size_t>(index)].get()
             : nullptr;
}

std::int32_t DeckRig::HotListEntry(int entry) const {
  return entry >= 1 && entry <= 5 ? hotList[entry - 1] : 0;
}

void DeckRig::ShowHelp(QWidget*, const QString& title, const QString&) { helpTitle = title; }

void DeckRig::Select(QWidget* window) {
  selected = window;
  if (window) window->setFocus();
}

void Press(QWidget& window, int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) {
  QKeyEvent event(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
  QApplication::sendEvent(&window, &event);
}

void Release(QWidget& window, int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) {
  QKeyEvent event(QEvent::KeyRelease, key, modifiers, QString(), autoRepeat);
  QApplication::sendEvent(&window, &event);
}

void Type(QWidget& window, int key, Qt::KeyboardModifiers modifiers) {
  Press(window, key, modifiers);
  Release(window, key, modifiers);
}

bool ProcessUntil(const std::function<bool()>& condition, int limitMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > until) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace vx::player::test

namespace vx::player::test {
bool LoadAndSettle(CWavPlayerDlg& deck, std::int32_t songId) {
  const int before = deck.Engine()->CommandsTaken();
  return deck.LoadSong(songId) &&
         ProcessUntil([&] { return deck.Engine()->CommandsTaken() > before; });
}
}  // namespace vx::player::test

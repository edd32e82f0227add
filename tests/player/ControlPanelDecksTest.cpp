// The control panel with two real WAV decks on virtual outputs: in automatic mode a playlist
// of three short songs plays through in order, alternating between the two outputs.
#include <QCheckBox>

#include <gtest/gtest.h>

#include "engine/EngineTestKit.h"
#include "PanelTestKit.h"
#include "PlayerTestKit.h"
#include "player/CControlPanelDlg.h"
#include "player/HostDeckAccess.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx::player::test {
namespace {

constexpr std::uint32_t kSongShift = 20;  // frame numbers carry the song number above this

// Replaces the file of a test song with frames numbered (song << kSongShift) + k, so a tape
// tells which song it heard.
void WriteMarkedSong(TestLibrary& library, std::uint32_t songId, double seconds) {
  const auto frames = static_cast<std::uint32_t>(seconds * 44100);
  std::vector<std::int16_t> samples;
  samples.reserve(2 * frames);
  for (std::uint32_t k = 0; k < frames; ++k) {
    const std::uint32_t number = (songId << kSongShift) + k;
    samples.push_back(static_cast<std::int16_t>(number & 0x7fff));
    samples.push_back(static_cast<std::int16_t>(number >> 15));
  }
  WriteSong(library.SongsFolder(), songId, samples, 2, 44100);
}

// The songs heard on a tape, in order: each run of consecutive frame numbers that begins at
// a song's first frame.
std::vector<std::uint32_t> SongsHeard(const std::string& tape) {
  const std::vector<std::uint32_t> frames = FrameNumbers(ReadSamples(tape));
  std::vector<std::uint32_t> songs;
  std::size_t start = 0;
  for (std::size_t i = 1; i <= frames.size(); ++i) {
    if (i < frames.size() && frames[i] == frames[i - 1] + 1) continue;
    const std::uint32_t first = frames[start];
    if (first >> kSongShift != 0 && (first & ((1u << kSongShift) - 1)) == 0 && i - start > 1000) {
      songs.push_back(first >> kSongShift);
    }
    start = i;
  }
  return songs;
}

TEST(ControlPanelWithDecks, AutoPlaysAPlaylistThroughAlternatingOutputs) {
  vx::test::ScriptedUi ui;
  {
    DeckRig rig(20, 2);
    for (std::uint32_t id = 1; id <= 3; ++id) {
      rig.library.AddSong(static_cast<std::int32_t>(id), 1.0 + 0.5 * id, 120);
      WriteMarkedSong(rig.library, id, 1.0 + 0.5 * id);
    }
    AddPlaylist(rig.library.Db(), "NIGHT SET", {1, 2, 3});
    HostDeckAccess decks(rig);
    CControlPanelDlg panel(rig.library.Db(), decks, PlayerColors{}, {});
    rig.controlPanel = &panel;
    CWavPlayerDlg& first = rig.AddDeck();
    CWavPlayerDlg& second = rig.AddDeck();
    ASSERT_EQ(decks.WavDeckCount(), 2);

    panel.AutoBox()->setChecked(true);
    panel.OnLoadDeck(0);
    ASSERT_TRUE(ProcessUntil(
        [&] { return first.SongId() == 3 && first.State() == DeckState::Paused; }, 60000));
    EXPECT_EQ(second.SongId(), 2);
    EXPECT_EQ(first.ErrorCount() + second.ErrorCount(), 0);
  }
  // The decks are closed: the tapes are complete.
  const std::string folder = vx::test::TestFolder();
  EXPECT_EQ(SongsHeard(folder + "/tape0.wav"), (std::vector<std::uint32_t>{1, 3}));
  EXPECT_EQ(SongsHeard(folder + "/tape1.wav"), (std::vector<std::uint32_t>{2}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ControlPanelWithDecks, AutoMovesOnPastASongWithoutSamples) {
  vx::test::ScriptedUi ui;
  {
    DeckRig rig(20, 2);
    rig.library.AddSong(1, 1.0, 120);
    WriteMarkedSong(rig.library, 1, 1.0);
    rig.library.AddSong(2, 0.0, 120);  // a data chunk with nothing in it
    rig.library.AddSong(3, 1.0, 120);
    WriteMarkedSong(rig.library, 3, 1.0);
    AddPlaylist(rig.library.Db(), "NIGHT SET", {1, 2, 3});
    HostDeckAccess decks(rig);
    CControlPanelDlg panel(rig.library.Db(), decks, PlayerColors{}, {});
    rig.controlPanel = &panel;
    CWavPlayerDlg& first = rig.AddDeck();
    CWavPlayerDlg& second = rig.AddDeck();

    panel.AutoBox()->setChecked(true);
    panel.OnLoadDeck(0);
    ASSERT_TRUE(ProcessUntil(
        [&] { return first.SongId() == 3 && first.State() == DeckState::Paused; }, 60000));
    EXPECT_EQ(second.SongId(), 2);
    EXPECT_EQ(second.State(), DeckState::Paused);
  }
  const std::string folder = vx::test::TestFolder();
  EXPECT_EQ(SongsHeard(folder + "/tape0.wav"), (std::vector<std::uint32_t>{1, 3}));
  EXPECT_TRUE(SongsHeard(folder + "/tape1.wav").empty());
}

}  // namespace
}  // namespace vx::player::test

// The player on the real backend: two outputs of ALSA's file plugin named in the settings
// get the two decks, and a song loaded on each lands in its output's file sample for sample.
#include <gtest/gtest.h>

#include <cstring>

#include "PlayerTestKit.h"
#include "engine/EngineTestKit.h"
#include "platform/settings/ProfileSettings.h"
#include "player/CPlayerApp.h"
#include "player/CWavPlayerDlg.h"
#include "support/AlsaFileHome.h"
#include "support/ScriptedUi.h"

namespace vx::player::test {
namespace {

// The song's sample bytes.
std::vector<std::uint8_t> SongBytes(const TestLibrary& library, int songId) {
  const auto samples =
      ReadSamples(library.SongsFolder() + "/Song000000000" + std::to_string(songId) + ".Wav");
  std::vector<std::uint8_t> bytes(samples.size() * 2);
  std::memcpy(bytes.data(), samples.data(), bytes.size());
  return bytes;
}

TEST(RealOutputsTest, NamedFileOutputsGetTheDecksAndEachSongLandsInItsFile) {
  vx::test::AlsaFileHome home({{"deckA", ""}, {"deckB", ""}});
  if (!vx::test::AlsaFileHome::AlsaAvailable()) {
    GTEST_SKIP() << "PortAudio finds no ALSA host API, so the real backend cannot run here";
  }
  vx::test::ScriptedUi ui;
  TestLibrary library;
  library.AddSong(1, 2, 120);
  library.AddSong(2, 3, 126);
  ProfileSettings::Set(settings::kPlayerOutputs, "deckA,deckB");
  CPlayerApp::Environment environment;  // the process's device list: PortAudio's
  environment.makeServerLink = [] { return std::make_unique<NoServer>(); };
  CPlayerApp app(std::move(environment));
  ASSERT_TRUE(app.StartUp());
  ASSERT_EQ(app.WavDeckCount(), 2);
  EXPECT_EQ(app.WavDeck(0)->DeviceName(), "deckA");
  EXPECT_EQ(app.WavDeck(1)->DeviceName(), "deckB");

  ASSERT_TRUE(LoadAndSettle(*app.WavDeck(0), 1));
  ASSERT_TRUE(LoadAndSettle(*app.WavDeck(1), 2));
  // Each deck pauses at the end of its song.
  ASSERT_TRUE(ProcessUntil([&] {
    return app.WavDeck(0)->State() == DeckState::Paused &&
           app.WavDeck(1)->State() == DeckState::Paused;
  }));
  EXPECT_EQ(app.WavDeck(0)->ErrorCount() + app.WavDeck(1)->ErrorCount(), 0);
  app.ExitInstance();

  for (const auto& [pcm, song] : {std::pair{"deckA", 1}, std::pair{"deckB", 2}}) {
    const std::vector<std::uint8_t> expected = SongBytes(library, song);
    const std::vector<std::uint8_t> played = home.Played(pcm);
    ASSERT_GE(played.size(), expected.size()) << pcm;
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), played.begin()))
        << pcm << ": the file does not begin with the song's samples";
    EXPECT_TRUE(std::all_of(played.begin() + static_cast<long>(expected.size()), played.end(),
                            [](std::uint8_t b) { return b == 0; }))
        << pcm << ": more than silence after the song";
  }
}

}  // namespace
}  // namespace vx::player::test

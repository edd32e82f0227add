// An imported MP3 song as the player plays it: wrapped by the import, stored under its song
// number, decoded by the real audio server on a WAV deck whose virtual output keeps a tape.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "PlayerTestKit.h"
#include "engine/EngineTestKit.h"
#include "import/ImportMp3File.h"
#include "import/Mp3TestFiles.h"
#include "library/SongStore.h"
#include "player/CWavPlayerDlg.h"
#include "support/RunTool.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx::player::test {
namespace {

class OneDeckHost : public PlayerHost {
 public:
  CWavPlayerDlg* WavDeck(int) const override { return nullptr; }
  std::int32_t HotListEntry(int) const override { return 0; }
  void ShowHelp(QWidget*, const QString&, const QString&) override {}
  void Select(QWidget*) override {}
};

double Rms(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to) {
  double sum = 0;
  for (std::size_t i = from; i < to; ++i) sum += double(samples[i]) * samples[i];
  return std::sqrt(sum / double(to - from));
}

TEST(ImportedMp3, PlaysOnADeckThroughTheAudioServer) {
  vx::test::ScriptedUi ui;
  TestLibrary library;
  constexpr double kSeconds = 3.0;
  const std::string source =
      vx::test::WriteTestFile("tone.mp3", vx::test::LameMp3(44100, 2, {"-b", "128"}, kSeconds));
  Mp3Import imported;
  ASSERT_TRUE(ImportMp3File(source, library.Folder(), imported));
  library.AddSong(1, 1, 120, "HOUSE", "M");
  ASSERT_EQ(std::rename(imported.tempPath.c_str(), SongFileName(library.Folder(), 1).c_str()), 0);

  const auto devices = VirtualOutputs(1, 20);
  OneDeckHost host;
  WavDeckSetup setup;
  setup.deviceName = "Virtual Output 1";
  setup.songsFolder = library.SongsFolder();
  setup.programFolder = VX_BIN_DIR;
  setup.database = &library.Db();
  setup.host = &host;
  setup.devices = devices.get();
  {
    CWavPlayerDlg deck(std::move(setup));
    ASSERT_EQ(deck.StartUp(), CWavPlayerDlg::kReady);
    ASSERT_TRUE(LoadAndSettle(deck, 1));
    EXPECT_EQ(deck.State(), DeckState::Playing);
    ASSERT_TRUE(ProcessUntil([&] {
      std::uint32_t end = 0;
      deck.Engine()->GetReadPosition(end);
      return end == 1;
    }));
    EXPECT_EQ(deck.ErrorCount(), 0);
  }

  // As long as the song (our decoding keeps the encoder's delay and padding, which an
  // outside decoder trims), and as loud as FFmpeg's own decoding of the source.
  const std::vector<std::int16_t> tape = ReadSamples(vx::test::TestFolder() + "/tape0.wav");
  const double seconds = double(tape.size()) / 2 / 44100;
  EXPECT_GT(seconds, kSeconds - 0.01);
  EXPECT_LT(seconds, kSeconds + 0.1);
  const auto decoded =
      vx::test::RunTool({"ffmpeg", "-v", "error", "-i", source, "-f", "s16le", "-"});
  ASSERT_TRUE(decoded);
  std::vector<std::int16_t> reference(decoded->size() / 2);
  std::memcpy(reference.data(), decoded->data(), reference.size() * 2);
  ASSERT_GT(tape.size(), 44100u * 2);
  ASSERT_GT(reference.size(), 44100u * 2);
  const double expected = Rms(reference, 44100 / 2, reference.size() - 44100 / 2);
  EXPECT_GT(expected, 10000);  // the tone is there at all
  EXPECT_NEAR(Rms(tape, 44100 / 2, tape.size() - 44100 / 2), expected, expected * 0.01);
}

}  // namespace
}  // namespace vx::player::test

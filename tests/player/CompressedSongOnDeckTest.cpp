// A song compressed by the recorder's "Compress all songs" run plays on a WAV deck through
// the real audio server to its last frame, exactly as the codec decodes it, and nothing
// (least of all the tags after the audio) is heard after it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include <cstring>
#include <filesystem>

#include "PlayerTestKit.h"
#include "compression/CCompressSongsDlg.h"
#include "engine/EngineTestKit.h"
#include "library/SongStore.h"
#include "player/engine/CWavPlayerThread.h"
#include "support/RunTool.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx::player::test {
namespace {

std::vector<std::int16_t> FfmpegDecode(const std::string& path) {
  const auto raw = vx::test::RunTool({"ffmpeg", "-nostdin", "-v", "error", "-i", path, "-f",
                                      "s16le", "-"});
  if (!raw) return {};
  std::vector<std::int16_t> samples(raw->size() / 2);
  std::memcpy(samples.data(), raw->data(), samples.size() * 2);
  return samples;
}

TEST(CompressedSongOnDeck, PlaysToItsLastFrameAndNothingAfter) {
  vx::test::ScriptedUi ui;
  DeckRig rig(20);
  rig.realAudioServer = true;
  rig.library.AddSong(1, 2.5, 120);

  {
    CompressSongsEnvironment env;
    env.tick = std::chrono::milliseconds(10);
    CCompressSongsDlg compress(rig.library.Db(), rig.library.SongsFolder(), env);
    ASSERT_TRUE(compress.OnInitDialog());
    compress.OnGo();
    ASSERT_TRUE(QTest::qWaitFor([&] { return compress.IsComplete(); }, 60000));
    compress.accept();
  }
  EXPECT_TRUE(ui.messages.empty());
  const std::string song = SongFileNameInFolder(rig.library.SongsFolder(), 1);
  const std::vector<std::int16_t> expected = FfmpegDecode(song);
  ASSERT_FALSE(expected.empty());

  CWavPlayerDlg& deck = rig.AddDeck();
  ASSERT_TRUE(LoadAndSettle(deck, 1));
  ASSERT_TRUE(ProcessUntil([&] {
    std::uint32_t end = 0;
    deck.Engine()->GetReadPosition(end);
    return end == 1;
  }));
  EXPECT_EQ(deck.Engine()->FailureCount(), 0);
  rig.CloseDecks();

  const std::vector<std::int16_t> tape = ReadSamples(vx::test::TestFolder() + "/tape0.wav");
  ASSERT_EQ(tape.size(), expected.size());
  EXPECT_TRUE(tape == expected);
}

}  // namespace
}  // namespace vx::player::test

// Wrapping MP3 files: the WAVE file made (format record, the source unchanged as data, the
// INFO texts) as our reader and ffprobe see it, each refusal with its message, and no
// temporary file left in Songs after any failure.
#include "import/ImportMp3File.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "import/ImportText.h"
#include "import/Mp3Probe.h"
#include "import/Mp3TestFiles.h"
#include "library/SongStore.h"
#include "platform/riff/WaveFile.h"
#include "support/FileSizeLimit.h"
#include "support/RunTool.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return U16(b, at) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16;
}

// The texts of the LIST/INFO chunk, each with its zero bytes.
std::map<std::string, std::string> InfoTexts(const std::string& path) {
  riff::RiffFile file;
  EXPECT_TRUE(file.Open(path, riff::RiffFile::Mode::Read));
  riff::Chunk riff, list, text;
  std::map<std::string, std::string> texts;
  if (!file.Descend(riff, nullptr, riff::kRiff, riff::kWave) ||
      !file.Descend(list, &riff, riff::kList, riff::kInfo)) {
    return texts;
  }
  const std::pair<const char*, riff::FourCC> ids[] = {{"ISFT", riff::MakeFourCC("ISFT")},
                                                      {"INAM", riff::MakeFourCC("INAM")},
                                                      {"IART", riff::MakeFourCC("IART")}};
  for (const auto& [id, fourCC] : ids) {
    if (!file.Seek(list.dataOffset) || !file.Descend(text, &list, fourCC)) continue;
    std::string data(text.size, '\0');
    file.Read(data.data(), data.size());
    texts[id] = data;
  }
  return texts;
}

class ImportMp3 : public testing::Test {
 protected:
  ImportMp3() : library_(test::MakeTestLibrary()) {}

  bool Import(const Bytes& bytes, const std::string& name = "song.mp3") {
    source = test::WriteTestFile(name, bytes);
    return ImportMp3File(source, library_, result);
  }

  std::vector<std::string> SongsFiles() const { return test::FolderEntries(SongsFolder(library_)); }

  // Refused with exactly this message and nothing left behind.
  void ExpectRefused(const Bytes& bytes, const char* message) {
    ui.messages.clear();
    EXPECT_FALSE(Import(bytes));
    EXPECT_EQ(ui.Texts(), std::vector<QString>{QString::fromUtf8(message)});
    if (!ui.messages.empty()) {
      EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
    }
    EXPECT_EQ(SongsFiles(), std::vector<std::string>{});
    EXPECT_EQ(result.tempPath, "");
    EXPECT_EQ(result.length, "");
    EXPECT_EQ(test::ReadTestFile(source), bytes) << "the source changed";
  }

  test::ScriptedUi ui;
  std::string library_;
  std::string source;
  Mp3Import result;
};

TEST_F(ImportMp3, StereoMp3WithBothTagsIsWrappedWhole) {
  const Bytes mp3 = test::LameMp3(44100, 2, {"-b", "128"});
  const Bytes original =
      test::Concat({test::Id3v2Tag(300), mp3,
                    test::Id3v1Tag("Intro     ", "Caf\xe9 Tacuba", "1998", 85, "Album", "Nice")});
  ASSERT_TRUE(Import(original));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(result.tag.title, "Intro");
  EXPECT_EQ(result.tag.artist, "Caf\u00e9 Tacuba");
  EXPECT_EQ(result.tag.album, "Album");
  EXPECT_EQ(result.tag.year, "1998");
  EXPECT_EQ(result.tag.comment, "Nice");
  EXPECT_EQ(result.tag.genre, "Bebob");
  EXPECT_EQ(result.length, Mp3LengthText(original.size(), 128000));
  EXPECT_EQ(fs::path(result.tempPath).parent_path(), fs::path(SongsFolder(library_)));
  EXPECT_EQ(SongsFiles(), std::vector<std::string>{fs::path(result.tempPath).filename().string()});
  EXPECT_TRUE(fs::path(result.tempPath).filename().string().starts_with("VXM"));
  EXPECT_EQ(test::ReadTestFile(source), original);

  riff::WaveLayout layout;
  ASSERT_EQ(riff::ReadWaveLayout(result.tempPath, layout), riff::WaveError::kNone);
  const std::vector<std::uint8_t>& record = layout.formatRecord;
  ASSERT_EQ(record.size(), 32u);
  EXPECT_EQ(U16(record, 0), 0x55);
  EXPECT_EQ(U16(record, 2), 2);
  EXPECT_EQ(U32(record, 4), 44100u);
  EXPECT_EQ(U32(record, 8), 16000u);
  EXPECT_EQ(U16(record, 12), 1);
  EXPECT_EQ(U16(record, 14), 0);
  EXPECT_EQ(U16(record, 16), 12);
  EXPECT_EQ(U16(record, 18), 1);
  EXPECT_EQ(U32(record, 20), 2u);
  EXPECT_EQ(U16(record, 24), 417 + (mp3[2] >> 1 & 1));
  EXPECT_EQ(U16(record, 26), 1);
  EXPECT_EQ(U16(record, 28), 1393);
  EXPECT_EQ(U16(record, 30), 0);

  const Bytes wrapped = test::ReadTestFile(result.tempPath);
  ASSERT_EQ(layout.dataSize, original.size());
  EXPECT_TRUE(std::equal(original.begin(), original.end(), wrapped.begin() + layout.dataOffset));
  EXPECT_EQ(
      std::string(wrapped.begin() + layout.dataOffset, wrapped.begin() + layout.dataOffset + 3),
      "ID3");

  const auto info = InfoTexts(result.tempPath);
  EXPECT_EQ(info.at("ISFT"), std::string("Velumix\0", 8));
  EXPECT_EQ(info.at("INAM"), std::string("Intro\0", 6));
  EXPECT_EQ(info.at("IART"), std::string("Caf\u00e9 Tacuba\0\0", 14));

  // An outside reader sees an MP3 stream with its title and artist.
  const auto probe =
      test::RunTool({"ffprobe", "-v", "error", "-show_streams", "-show_format", result.tempPath});
  ASSERT_TRUE(probe);
  const std::string report(probe->begin(), probe->end());
  EXPECT_NE(report.find("codec_name=mp3"), std::string::npos) << report;
  EXPECT_NE(report.find("sample_rate=44100"), std::string::npos) << report;
  EXPECT_NE(report.find("channels=2"), std::string::npos) << report;
  EXPECT_NE(report.find("TAG:title=Intro"), std::string::npos) << report;
  EXPECT_NE(report.find("TAG:artist=Caf\u00e9 Tacuba"), std::string::npos) << report;
}

TEST_F(ImportMp3, MonoMpeg2AtTheLowerLimitsWithoutTags) {
  const Bytes mp3 = test::LameMp3(22050, 1, {"-b", "64", "-m", "m"});
  result.tag.title = "kept";  // no tag: what the caller gave stays
  ASSERT_TRUE(Import(mp3));
  EXPECT_EQ(result.tag.title, "kept");
  riff::WaveLayout layout;
  ASSERT_EQ(riff::ReadWaveLayout(result.tempPath, layout), riff::WaveError::kNone);
  EXPECT_EQ(layout.format.channels, 1);
  EXPECT_EQ(layout.format.samplesPerSec, 22050u);
  EXPECT_EQ(layout.format.avgBytesPerSec, 8000u);
  EXPECT_EQ(U16(layout.formatRecord, 24), 144 * 64000 / 22050 + (mp3[2] >> 1 & 1));
  EXPECT_EQ(InfoTexts(result.tempPath).at("INAM"), std::string("kept\0\0", 6));
}

TEST_F(ImportMp3, EveryRefusalHasItsMessageAndLeavesNothing) {
  const Bytes good = test::LameMp3(44100, 2, {"-b", "128"});
  ExpectRefused(test::LameMp3(44100, 2, {"-b", "56"}), text::kLowQualityMp3);
  ExpectRefused(test::LameMp3(44100, 2, {"-b", "128", "--resample", "16"}), text::kLowQualityMp3);
  ExpectRefused(test::LameMp3(44100, 2, {"-b", "128", "--freeformat"}), text::kLowQualityMp3);
  ExpectRefused(test::LameMp3(11025, 1, {"-b", "64"}), text::kNoMp3Header);  // MPEG 2.5
  ExpectRefused(test::Concat({{0, 0, 0, 0}, good}), text::kNoMp3Header);
  ExpectRefused({}, text::kNoMp3Header);
  ExpectRefused(Bytes(good.begin(), good.begin() + 300), text::kNoMp3Header);
  ExpectRefused(Bytes(good.begin(), good.begin() + 3), text::kNoMp3Header);
  // An ID3v2 tag cut off, or claiming far more than the file holds.
  const Bytes tagged = test::Concat({test::Id3v2Tag(5000), good});
  ExpectRefused(Bytes(tagged.begin(), tagged.begin() + 4000), text::kNoMp3Header);
  Bytes lying = tagged;
  std::fill(lying.begin() + 6, lying.begin() + 10, 0x7f);
  ExpectRefused(lying, text::kNoMp3Header);
  Bytes badIndex = good;
  badIndex[2] = 0xf0 | (badIndex[2] & 0x0f);
  ExpectRefused(badIndex, text::kInvalidMp3Header);

  // Layer II is refused after its tag has been read.
  ExpectRefused(test::Concat({test::LayerTwoMp3(), test::Id3v1Tag("Two", "Layer", "", 0)}),
                text::kNotLayer3);
  EXPECT_EQ(result.tag.title, "Two");
}

TEST_F(ImportMp3, FilesCutAfterTheirFirstFramesStillWrap) {
  const Bytes good = test::LameMp3(44100, 2, {"-b", "128"});
  EXPECT_TRUE(Import(Bytes(good.begin(), good.begin() + good.size() / 2 + 1)));
}

TEST_F(ImportMp3, WriteFailuresRemoveTheTemporaryFile) {
  const Bytes good = test::LameMp3(44100, 2, {"-b", "128"});
  // The disk fills up during the copy: the file size limit makes writes past it fail.
  {
    const Bytes big = test::Concat({good, good, good});
    source = test::WriteTestFile("big.mp3", big);
    bool imported = true;
    {
      test::FileSizeLimit diskFull(40000);
      imported = ImportMp3File(source, library_, result);
    }
    EXPECT_FALSE(imported);
    EXPECT_EQ(ui.Texts(), std::vector<QString>{QString::fromUtf8(text::kMp3OutputError)});
    EXPECT_EQ(SongsFiles(), std::vector<std::string>{});
  }
  // No Songs folder to write in.
  ui.messages.clear();
  fs::remove_all(SongsFolder(library_));
  EXPECT_FALSE(Import(good));
  EXPECT_EQ(ui.Texts(), std::vector<QString>{QString::fromUtf8(text::kMp3OutputError)});
  EXPECT_EQ(result.tempPath, "");
}

TEST_F(ImportMp3, ASourceThatCannotBeReadIsAnUnexpectedError) {
  EXPECT_ANY_THROW(ImportMp3File(test::TestFolder() + "/gone.mp3", library_, result));
  EXPECT_ANY_THROW(ImportMp3File(test::TestFolder(), library_, result));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(SongsFiles(), std::vector<std::string>{});
}

}  // namespace
}  // namespace vx

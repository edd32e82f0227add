// The RIFF chunk layer: sizes patched on ascend, pad bytes, descending within a parent.
#include <gtest/gtest.h>

#include "platform/riff/RiffFile.h"
#include "platform/riff/WaveBytes.h"
#include "support/TestFolder.h"

namespace vx::riff {
namespace {

using test::Bytes;
using test::Cat;
using test::Chunk;
using test::GetU32;
using test::List;

TEST(RiffFileTest, AscendPatchesSizesAndPadsOddChunks) {
  const std::string path = test::TestFolder() + "/odd.riff";
  RiffFile file;
  ASSERT_TRUE(file.Open(path, RiffFile::Mode::Write));
  riff::Chunk riff, odd, even;
  ASSERT_TRUE(file.CreateList(riff, kRiff, MakeFourCC("TEST")));
  ASSERT_TRUE(file.CreateChunk(odd, MakeFourCC("odd ")));
  ASSERT_EQ(file.Write("abc", 3), 3u);
  ASSERT_TRUE(file.Ascend(odd));
  ASSERT_TRUE(file.CreateChunk(even, MakeFourCC("even"), 2));  // size right from the start
  ASSERT_EQ(file.Write("xy", 2), 2u);
  ASSERT_TRUE(file.Ascend(even));
  ASSERT_TRUE(file.Ascend(riff));
  ASSERT_TRUE(file.Close());

  const Bytes expected = List("RIFF", "TEST", Cat({Chunk("odd ", {'a', 'b', 'c'}),
                                                   Chunk("even", {'x', 'y'})}));
  const Bytes written = test::ReadFile(path);
  EXPECT_EQ(written, expected);
  EXPECT_EQ(GetU32(written, 4), 4u + 12 /*odd + pad*/ + 10);
  EXPECT_EQ(odd.size, 3u);
  EXPECT_EQ(written[23], 0);  // the pad byte after "abc"
}

TEST(RiffFileTest, DescendFindsChunksOnlyWithinTheParentAndSkipsPadBytes) {
  // RIFF{ "odd " (3 + pad), LIST/INFO{ "deep" }, "last" } then a stray chunk past the RIFF.
  const Bytes bytes = Cat({List("RIFF", "TEST",
                                Cat({Chunk("odd ", {1, 2, 3}), List("LIST", "INFO", Chunk("deep", {9, 9})),
                                     Chunk("last", {7})})),
                           Chunk("outs", {5, 5})});
  RiffFile file;
  ASSERT_TRUE(file.OpenMemory(bytes.data(), bytes.size()));
  riff::Chunk riff;
  ASSERT_TRUE(file.Descend(riff, nullptr, kRiff, MakeFourCC("TEST")));
  EXPECT_EQ(riff.dataOffset, 12u);

  riff::Chunk found;
  const std::uint64_t start = riff.dataOffset;
  ASSERT_TRUE(file.Descend(found, &riff, MakeFourCC("last")));
  EXPECT_EQ(found.size, 1u);
  std::uint8_t value = 0;
  EXPECT_EQ(file.Read(&value, 1), 1u);
  EXPECT_EQ(value, 7);

  // A chunk inside a nested list is not a sub-chunk of RIFF, nor is one after RIFF's end.
  ASSERT_TRUE(file.Seek(start));
  EXPECT_FALSE(file.Descend(found, &riff, MakeFourCC("deep")));
  ASSERT_TRUE(file.Seek(start));
  EXPECT_FALSE(file.Descend(found, &riff, MakeFourCC("outs")));
  // ...but it is found within its own list, by form.
  ASSERT_TRUE(file.Seek(start));
  riff::Chunk info;
  ASSERT_TRUE(file.Descend(info, &riff, kList, MakeFourCC("INFO")));
  ASSERT_TRUE(file.Descend(found, &info, MakeFourCC("deep")));
  // Ascending out of a read chunk lands after it, pad byte included.
  ASSERT_TRUE(file.Seek(start));
  ASSERT_TRUE(file.Descend(found, &riff, MakeFourCC("odd ")));
  ASSERT_TRUE(file.Ascend(found));
  EXPECT_EQ(file.Tell(), start + 12);
  // A form that differs is not a match.
  ASSERT_TRUE(file.Seek(0));
  EXPECT_FALSE(file.Descend(riff, nullptr, kRiff, kWave));
}

TEST(RiffFileTest, DescendStopsAtTheEndOfTheDataWhateverTheSizesSay) {
  // A RIFF that claims far more than there is, whose chunk claims more again.
  const Bytes bytes = Cat({test::ChunkStating("RIFF", 0xfffffff0u, {'T', 'E', 'S', 'T'}),
                           test::ChunkStating("big ", 0xffffff00u, {1, 2, 3, 4})});
  RiffFile file;
  ASSERT_TRUE(file.OpenMemory(bytes.data(), bytes.size()));
  riff::Chunk riff, chunk;
  ASSERT_TRUE(file.Descend(riff, nullptr, kRiff));
  ASSERT_TRUE(file.Descend(chunk, &riff, MakeFourCC("big ")));
  std::uint8_t buffer[16];
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 4u);
  EXPECT_FALSE(file.Descend(chunk, &riff, MakeFourCC("none")));
  // A LIST too short to hold its form type is not descended into.
  const Bytes shortList = test::ChunkStating("LIST", 2, {'I', 'N'});
  ASSERT_TRUE(file.OpenMemory(shortList.data(), shortList.size()));
  EXPECT_FALSE(file.Descend(chunk, nullptr, kList));
}

TEST(RiffFileTest, EmptyAndMissingInputsReadNothing) {
  RiffFile file;
  riff::Chunk chunk;
  ASSERT_TRUE(file.OpenMemory(nullptr, 0));
  EXPECT_EQ(file.Size(), 0u);
  std::uint8_t byte = 0;
  EXPECT_EQ(file.Read(&byte, 1), 0u);
  EXPECT_FALSE(file.Descend(chunk, nullptr, kRiff));
  EXPECT_FALSE(file.OpenMemory(nullptr, 10));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Open(test::TestFolder() + "/missing.riff", RiffFile::Mode::Read));
  EXPECT_FALSE(file.Open(test::TestFolder() + "/no/folder.riff", RiffFile::Mode::Write));
  // Writing calls on a closed or read-only file fail instead of touching anything.
  EXPECT_FALSE(file.CreateChunk(chunk, kRiff));
  const Bytes bytes = Chunk("abcd", {1, 2});
  ASSERT_TRUE(file.OpenMemory(bytes.data(), bytes.size()));
  EXPECT_FALSE(file.CreateChunk(chunk, kRiff));
  EXPECT_EQ(file.Write("x", 1), 0u);
}

}  // namespace
}  // namespace vx::riff

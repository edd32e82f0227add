// The judge of MP3 files on bytes in memory: where the first frame must be, the header rules
// in the order they are checked, the ID3 tags, and the length text.
#include "import/Mp3Probe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "import/Mp3TestFiles.h"

namespace vx {
namespace {

using test::Bytes;

// A file of `size` bytes whose audio starts with the header bytes h0 h1 l0 l1.
Bytes Frame(std::uint8_t h0, std::uint8_t h1, std::uint8_t l0, std::uint8_t l1,
            std::size_t size = 2000) {
  Bytes bytes(size, 0x55);
  const std::uint8_t header[] = {h0, h1, l0, l1};
  std::memcpy(bytes.data(), header, sizeof header);
  return bytes;
}

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, joint stereo, as encoders write it.
Bytes Mpeg1(std::size_t size = 2000) { return Frame(0xff, 0xfb, 0x90, 0x64, size); }

Bytes Id3v1(const char* title, const char* artist, const char* year, std::uint8_t genre) {
  return test::Id3v1Tag(title, artist, year, genre, "ALBUM", "COMMENT");
}

Bytes Join(const Bytes& a, const Bytes& b) { return test::Concat({a, b}); }

Mp3Verdict VerdictOf(const Bytes& bytes) { return ProbeMp3Bytes(bytes).verdict; }

TEST(Mp3Probe, AcceptedHeadersTellTheirFormat) {
  const Mp3Probe stereo = ProbeMp3Bytes(Mpeg1());
  EXPECT_EQ(stereo.verdict, Mp3Verdict::kAccepted);
  EXPECT_TRUE(stereo.mpeg1);
  EXPECT_EQ(stereo.bitRate, 128000u);
  EXPECT_EQ(stereo.sampleRate, 44100u);
  EXPECT_EQ(stereo.channels, 2);
  EXPECT_FALSE(stereo.padding);
  EXPECT_EQ(stereo.audioStart, 0u);

  // MPEG-2 at both lower limits (64 kbit/s, 22050 Hz), single channel, padded.
  const Mp3Probe mono = ProbeMp3Bytes(Frame(0xff, 0xf3, 0x82, 0xc4));
  EXPECT_EQ(mono.verdict, Mp3Verdict::kAccepted);
  EXPECT_FALSE(mono.mpeg1);
  EXPECT_EQ(mono.bitRate, 64000u);
  EXPECT_EQ(mono.sampleRate, 22050u);
  EXPECT_EQ(mono.channels, 1);
  EXPECT_TRUE(mono.padding);

  // The top of each table: 320 kbit/s at 32000 Hz; 160 kbit/s MPEG-2 at 24000 Hz.
  const Mp3Probe top = ProbeMp3Bytes(Frame(0xff, 0xfa, 0xe8, 0x00));
  EXPECT_EQ(top.verdict, Mp3Verdict::kAccepted);
  EXPECT_EQ(top.bitRate, 320000u);
  EXPECT_EQ(top.sampleRate, 32000u);
  const Mp3Probe top2 = ProbeMp3Bytes(Frame(0xff, 0xf2, 0xe4, 0x00));
  EXPECT_EQ(top2.bitRate, 160000u);
  EXPECT_EQ(top2.sampleRate, 24000u);
}

TEST(Mp3Probe, HeaderRulesInTheOrderTheyAreChecked) {
  EXPECT_EQ(VerdictOf(Frame(0xff, 0xfd, 0xa0, 0x04)), Mp3Verdict::kNotLayer3);      // Layer II
  EXPECT_EQ(VerdictOf(Frame(0xff, 0xff, 0x90, 0x04)), Mp3Verdict::kNotLayer3);      // Layer I
  EXPECT_EQ(VerdictOf(Frame(0xff, 0xfb, 0xf0, 0x64)), Mp3Verdict::kInvalidHeader);  // index 15
  EXPECT_EQ(VerdictOf(Frame(0xff, 0xfb, 0x9c, 0x64)), Mp3Verdict::kInvalidHeader);  // rate 3
  EXPECT_EQ(VerdictOf(Frame(0xff, 0xfb, 0x00, 0x64)), Mp3Verdict::kLowQuality);     // free format
  EXPECT_EQ(VerdictOf(Frame(0xff, 0xfb, 0x40, 0x64)), Mp3Verdict::kLowQuality);     // 56 kbit/s
  EXPECT_EQ(VerdictOf(Frame(0xff, 0xf3, 0x70, 0xc4)), Mp3Verdict::kLowQuality);     // MPEG-2 56k
  // 128 kbit/s MPEG-2 at 16000 Hz: the bit rate passes, the sample rate does not.
  EXPECT_EQ(VerdictOf(Frame(0xff, 0xf3, 0xc8, 0x64)), Mp3Verdict::kLowQuality);
  // Free format with an invalid sample rate: the bit rate is judged first.
  EXPECT_EQ(VerdictOf(Frame(0xff, 0xfb, 0x0c, 0x64)), Mp3Verdict::kLowQuality);
  // Index 15 with an invalid sample rate: invalid either way.
  EXPECT_EQ(VerdictOf(Frame(0xff, 0xfb, 0xfc, 0x64)), Mp3Verdict::kInvalidHeader);
}

TEST(Mp3Probe, TheFirstFrameMustStartTheAudio) {
  // MPEG 2.5 has 11 sync bits only; junk before a good frame is not searched past.
  EXPECT_EQ(VerdictOf(Frame(0xff, 0xe3, 0x80, 0xc4)), Mp3Verdict::kNoFrameSync);
  EXPECT_EQ(VerdictOf(Join({0, 0, 0}, Mpeg1())), Mp3Verdict::kNoFrameSync);
  EXPECT_EQ(VerdictOf(Frame('R', 'I', 'F', 'F')), Mp3Verdict::kNoFrameSync);
  // Empty, shorter than a header, and cut inside the first frame (417 bytes at 128k/44100).
  EXPECT_EQ(VerdictOf({}), Mp3Verdict::kNoFrameSync);
  EXPECT_EQ(VerdictOf({0xff, 0xfb, 0x90}), Mp3Verdict::kNoFrameSync);
  EXPECT_EQ(VerdictOf(Mpeg1(416)), Mp3Verdict::kNoFrameSync);
  EXPECT_EQ(VerdictOf(Mpeg1(417)), Mp3Verdict::kAccepted);
  // A tag at the end is no audio: a file of a header and a tag has no first frame.
  EXPECT_EQ(VerdictOf(Join(Mpeg1(300), Id3v1("T", "A", "", 0))), Mp3Verdict::kNoFrameSync);
  // Junk ahead of a frame is refused before the layer is looked at: no tag is read.
  EXPECT_FALSE(ProbeMp3Bytes(Join({1}, Join(Mpeg1(), Id3v1("T", "A", "", 0)))).tag);
}

TEST(Mp3Probe, AnId3v2TagIsSkippedAndBoundedByTheFile) {
  const Mp3Probe tagged = ProbeMp3Bytes(Join(test::Id3v2Tag(1000), Mpeg1()));
  EXPECT_EQ(tagged.verdict, Mp3Verdict::kAccepted);
  EXPECT_EQ(tagged.audioStart, 1010u);

  // The size is four 7-bit bytes; a set top bit is dropped.
  Bytes highBits = Join(test::Id3v2Tag(130), Mpeg1());
  highBits[9] |= 0x80;
  EXPECT_EQ(ProbeMp3Bytes(highBits).audioStart, 140u);

  // A tag claiming more than the file holds, or cut off, leaves no frame to read.
  Bytes huge = Join(test::Id3v2Tag(10), Mpeg1());
  std::memset(huge.data() + 6, 0x7f, 4);
  EXPECT_EQ(VerdictOf(huge), Mp3Verdict::kNoFrameSync);
  const Bytes cut = test::Id3v2Tag(500);
  EXPECT_EQ(VerdictOf(Bytes(cut.begin(), cut.begin() + 200)), Mp3Verdict::kNoFrameSync);
  EXPECT_EQ(VerdictOf({'I', 'D', '3'}), Mp3Verdict::kNoFrameSync);
}

TEST(Mp3Probe, Id3v1TagTexts) {
  const Mp3Probe probe =
      ProbeMp3Bytes(Join(Mpeg1(), Id3v1("Intro    ", "Caf\xe9 del Mar", "1998", 0)));
  ASSERT_TRUE(probe.tag);
  EXPECT_EQ(probe.tag->title, "Intro");
  EXPECT_EQ(probe.tag->artist, "Caf\u00e9 del Mar");  // Latin-1 becomes UTF-8
  EXPECT_EQ(probe.tag->album, "ALBUM");
  EXPECT_EQ(probe.tag->year, "1998");
  EXPECT_EQ(probe.tag->comment, "COMMENT");
  EXPECT_EQ(probe.tag->genre, "Blues");

  // Genres at both ends of the list and past it; the other texts are taken all the same.
  const auto genre = [](std::uint8_t number) {
    return ProbeMp3Bytes(Join(Mpeg1(), Id3v1("T", "A", "", number))).tag->genre;
  };
  EXPECT_EQ(genre(67), "Psychadelic");
  EXPECT_EQ(genre(79), "Hard Rock");
  EXPECT_EQ(genre(80), "Folk");
  EXPECT_EQ(genre(85), "Bebob");
  EXPECT_EQ(genre(125), "Dance Hall");
  EXPECT_EQ(genre(126), "");
  const Mp3Probe past = ProbeMp3Bytes(Join(Mpeg1(), Id3v1("T", "A", "98", 255)));
  EXPECT_EQ(past.tag->genre, "");
  EXPECT_EQ(past.tag->title, "T");
  EXPECT_EQ(past.tag->year, "98");

  // A full 30-byte field has no NUL; the text stops at the field's end.
  Bytes full = Id3v1("", "A", "", 0);
  std::memset(full.data() + 3, 'X', 30);
  EXPECT_EQ(ProbeMp3Bytes(Join(Mpeg1(), full)).tag->title, std::string(30, 'X'));

  // The tag is read before the layer is judged; a file without "TAG" has none.
  EXPECT_TRUE(ProbeMp3Bytes(Join(Frame(0xff, 0xfd, 0xa0, 0x04), Id3v1("T", "A", "", 0))).tag);
  EXPECT_FALSE(ProbeMp3Bytes(Mpeg1()).tag);
}

TEST(Mp3Probe, LengthTextFromSizeAndBitRate) {
  EXPECT_EQ(Mp3LengthText(4000000, 128000), "04:10:000");
  EXPECT_EQ(Mp3LengthText(0, 128000), "00:00:000");
  EXPECT_EQ(Mp3LengthText(16000, 128000), "00:01:000");
  EXPECT_EQ(Mp3LengthText(15999, 128000), "00:00:999");  // cut, never rounded
  EXPECT_EQ(Mp3LengthText(8000 * 6000, 64000), "100:00:000");
}

}  // namespace
}  // namespace vx

#include "platform/cdrom/CdDisc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

#include "platform/cdrom/CdTime.h"
#include "platform/cdrom/TestDisc.h"
#include "support/TestFolder.h"

namespace vx::cdrom {
namespace {

std::unique_ptr<CdDisc> OpenTestDisc(const std::string& name = "disc",
                                     const test::TestDiscLayout& layout = {}) {
  return CdDisc::Open(test::WriteTestDisc(test::TestFolder() + "/" + name, layout));
}

struct CdInfoTrack {
  int number;
  long lsn;
  std::string type;
};

// The track list cd-info prints for an image: one row per track plus the lead-out (170).
std::vector<CdInfoTrack> RunCdInfo(const std::string& cue) {
  const std::string command =
      "cd-info --no-device-info --no-cddb --no-disc-mode -i '" + cue + "' 2>/dev/null";
  std::vector<CdInfoTrack> rows;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return rows;
  const std::regex row(R"(^\s*(\d+): \d\d:\d\d:\d\d\s+(\d+) (\w+))");
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::cmatch match;
    if (std::regex_search(line, match, row)) {
      rows.push_back({std::stoi(match[1]), std::stol(match[2]), match[3]});
    }
  }
  pclose(pipe);
  return rows;
}

}  // namespace

TEST(CdromDisc, TableOfContentsOfTheImage) {
  const auto disc = OpenTestDisc();
  ASSERT_NE(disc, nullptr);
  EXPECT_TRUE(disc->IsImage());
  const CdToc& toc = disc->Toc();
  EXPECT_EQ(toc.firstTrack, 1);
  ASSERT_EQ(toc.tracks.size(), 4u);
  EXPECT_EQ(toc.AudioTrackCount(), 3);
  const long starts[] = {0, 225, 450, 617};
  const long lengths[] = {225, 225, 167, 75};
  const long pregaps[] = {0, 75, 0, 0};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(toc.tracks[i].number, i + 1);
    EXPECT_EQ(toc.tracks[i].audio, i < 3);
    EXPECT_EQ(toc.tracks[i].startLsn, starts[i]);
    EXPECT_EQ(toc.tracks[i].lengthFrames, lengths[i]);
    EXPECT_EQ(toc.tracks[i].pregapFrames, pregaps[i]);
  }
  EXPECT_EQ(toc.leadOutLsn, 692);
  EXPECT_EQ(toc.Find(3), &toc.tracks[2]);
  EXPECT_EQ(toc.Find(5), nullptr);
}

TEST(CdromDisc, AgreesWithCdInfo) {
  const std::string cue = test::WriteTestDisc(test::TestFolder() + "/disc");
  const auto rows = RunCdInfo(cue);
  if (rows.empty()) GTEST_SKIP() << "cd-info (libcdio-utils) is not available";
  const auto disc = CdDisc::Open(cue);
  ASSERT_NE(disc, nullptr);
  const CdToc& toc = disc->Toc();
  ASSERT_EQ(rows.size(), toc.tracks.size() + 1);
  for (std::size_t i = 0; i < toc.tracks.size(); ++i) {
    EXPECT_EQ(rows[i].number, toc.tracks[i].number);
    EXPECT_EQ(rows[i].lsn, toc.tracks[i].startLsn);
    EXPECT_EQ(rows[i].type, toc.tracks[i].audio ? "audio" : "data");
  }
  EXPECT_EQ(rows.back().number, 170);
  EXPECT_EQ(rows.back().lsn, toc.leadOutLsn);
}

TEST(CdromDisc, ReadingTrackTwoGivesExactlyItsSamples) {
  const auto disc = OpenTestDisc();
  ASSERT_NE(disc, nullptr);
  const CdTrack& track = *disc->Toc().Find(2);
  std::vector<std::uint8_t> bytes(track.lengthFrames * kRawSectorBytes);
  ASSERT_TRUE(disc->ReadAudioSectors(track.startLsn, track.lengthFrames, bytes.data()));
  long mismatches = 0;
  for (long frame = 0; frame < track.lengthFrames * static_cast<long>(kSampleFramesPerSector);
       ++frame) {
    for (int channel = 0; channel < 2; ++channel) {
      std::int16_t sample;
      std::memcpy(&sample, &bytes[(frame * 2 + channel) * 2], 2);
      mismatches += sample != test::TestDiscSample(2, frame, channel) ? 1 : 0;
    }
  }
  EXPECT_EQ(mismatches, 0);

  // The pregap before it holds its own samples, and reads past the lead-out fail.
  std::vector<std::uint8_t> sector(kRawSectorBytes);
  ASSERT_TRUE(disc->ReadAudioSectors(150, 1, sector.data()));
  std::int16_t first;
  std::memcpy(&first, sector.data(), 2);
  EXPECT_EQ(first, test::TestDiscSample(0, 0, 0));
  EXPECT_FALSE(disc->ReadAudioSectors(691, 2, bytes.data()));
  EXPECT_FALSE(disc->ReadAudioSectors(-1, 1, bytes.data()));
}

TEST(CdromDisc, IdentityIsStablePerDiscAndDiffersBetweenDiscs) {
  const auto disc = OpenTestDisc("a");
  const auto again = OpenTestDisc("b");
  test::TestDiscLayout longer;
  longer.thirdTrackSectors = 168;
  const auto other = OpenTestDisc("c", longer);
  ASSERT_TRUE(disc && again && other);
  const std::string identity = disc->Toc().Identity();
  EXPECT_TRUE(std::regex_match(identity, std::regex("[0-9A-F]{26}"))) << identity;
  EXPECT_EQ(identity.substr(0, 10), "0104" "0002B4");  // first 1, 4 tracks, lead-out 692
  EXPECT_EQ(again->Toc().Identity(), identity);
  EXPECT_NE(other->Toc().Identity(), identity);

  // Same track count and lead-out, one track start moved: still a different disc.
  CdToc moved = disc->Toc();
  moved.tracks[1].startLsn += 1;
  EXPECT_NE(moved.Identity(), identity);
  EXPECT_EQ(moved.Identity().substr(0, 10), identity.substr(0, 10));
}

TEST(CdromDisc, UnreadableSourcesGiveNoDisc) {
  EXPECT_EQ(CdDisc::Open(test::TestFolder() + "/missing.cue"), nullptr);
  const std::string cue = test::TestFolder() + "/broken.cue";
  std::ofstream(cue) << "this is not a cue sheet\n";
  EXPECT_EQ(CdDisc::Open(cue), nullptr);
  EXPECT_EQ(CdDisc::Open(test::TestFolder() + "/no-such-device"), nullptr);
}

}  // namespace vx::cdrom

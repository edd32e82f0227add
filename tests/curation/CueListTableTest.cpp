// The cue rows of one song: numbering after deletes, number swaps, and rows of other songs
// left alone.
#include <gtest/gtest.h>

#include "curation/CueListTable.h"
#include "curation/CurationTestKit.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

using test::Cue;
using test::CuesOf;

class CueRows : public testing::Test {
 protected:
  CueRows() : folder_(test::MakeTestLibrary()) { db_.Open(folder_ + "/Velumix.vxl"); }

  std::string folder_;
  dao::DaoDatabase db_;
};

TEST_F(CueRows, RenumberClosesGapsWithoutMeetingARowTwice) {
  // Gaps, a shared number and an out-of-order insert: every row gets exactly one new number
  // in the order of the old ones, however the rewrites reorder the index under the walk.
  test::AddCue(db_, 1, "D", 9, "00:04.000");
  test::AddCue(db_, 1, "A", 2, "00:01.000");
  test::AddCue(db_, 1, "B", 2, "00:02.000");
  test::AddCue(db_, 1, "C", 5, "00:03.000");
  test::AddCue(db_, 1, "E", 40, "00:05.000");
  test::AddCue(db_, 2, "OTHER", 7, "00:00.000");
  CueListTable table(db_, 1);
  table.Renumber();
  const std::vector<Cue> cues = CuesOf(db_, 1);
  ASSERT_EQ(cues.size(), 5u);
  for (std::size_t i = 0; i < cues.size(); ++i) {
    EXPECT_EQ(cues[i].number, static_cast<std::int16_t>(i + 1));
  }
  EXPECT_EQ(cues[2].name, "C");
  EXPECT_EQ(cues[3].name, "D");
  EXPECT_EQ(cues[4].name, "E");
  EXPECT_EQ(CuesOf(db_, 2), (std::vector<Cue>{{"OTHER", 7, "00:00.000"}}));
  EXPECT_EQ(table.NextCueNumber(), 6);

  // Numbers that run the other way round (each row's new number above its old one).
  test::AddCue(db_, 3, "X", 0, "00:00.000");
  test::AddCue(db_, 3, "Y", 0, "00:00.000");
  test::AddCue(db_, 3, "Z", 1, "00:00.000");
  CueListTable(db_, 3).Renumber();
  std::vector<std::int16_t> numbers;
  for (const Cue& cue : CuesOf(db_, 3)) numbers.push_back(cue.number);
  EXPECT_EQ(numbers, (std::vector<std::int16_t>{1, 2, 3}));
  EXPECT_EQ(CuesOf(db_, 3).back().name, "Z");
}

TEST_F(CueRows, AddUpdateDeleteAndSwapFindRowsByName) {
  CueListTable table(db_, 4);
  EXPECT_EQ(table.NextCueNumber(), 1);
  EXPECT_EQ(table.Add("O'HARA", "00:01.000"), CueListTable::Result::kDone);
  EXPECT_EQ(table.Add("o'hara", "00:02.000"), CueListTable::Result::kNameTaken);
  EXPECT_EQ(table.Add("", "00:03.000"), CueListTable::Result::kDone);
  EXPECT_EQ(table.UpdateOffset("O'HARA", "00:09.000"), CueListTable::Result::kDone);
  EXPECT_EQ(table.UpdateOffset("GONE", "00:09.000"), CueListTable::Result::kNoSuchCue);
  EXPECT_EQ(table.SetNumbers("", 1, "O'HARA", 2), CueListTable::Result::kDone);
  EXPECT_EQ(CuesOf(db_, 4), (std::vector<Cue>{{"", 1, "00:03.000"}, {"O'HARA", 2, "00:09.000"}}));
  EXPECT_EQ(table.SetNumbers("O'HARA", 1, "GONE", 2), CueListTable::Result::kNoSuchCue);
  EXPECT_EQ(table.Delete("GONE"), CueListTable::Result::kNoSuchCue);
  EXPECT_EQ(table.Delete(""), CueListTable::Result::kDone);
  EXPECT_EQ(table.Load().size(), 1u);
}

}  // namespace
}  // namespace vx

// One song's rows of CueList and every change the cue point editors make to them. Rows are
// found by their name (unique within a song). Loops that rewrite numbers read the rows first
// and change them afterwards, so a row whose number changes is never met twice.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vx::dao {
class DaoDatabase;
}

namespace vx {

class CueListTable {
 public:
  struct Row {
    std::string description;
    std::string offset;
    std::int16_t number = 0;
  };
  enum class Result {
    kDone,
    kNoSuchCue,  // the named row is gone
    kNameTaken,  // a row of that name exists already
  };

  CueListTable(dao::DaoDatabase& db, std::int32_t songId) : db_(db), songId_(songId) {}

  // The song's rows in CueNumber order.
  std::vector<Row> Load() const;
  // The number a new cue gets: the highest + 1, or 1 for a song without cues.
  std::int16_t NextCueNumber() const;

  Result UpdateOffset(const std::string& description, const std::string& offset);
  // Adds a row numbered NextCueNumber() unless the name is taken.
  Result Add(const std::string& description, const std::string& offset);
  Result Delete(const std::string& description);
  // Numbers the rows 1, 2, ... N in their present order.
  void Renumber();
  // Gives cue a the number numberA and cue b numberB; stops at the first missing name.
  Result SetNumbers(const std::string& a, std::int16_t numberA, const std::string& b,
                    std::int16_t numberB);

 private:
  std::string SongCondition() const;
  std::string NameCondition(const std::string& description) const;

  dao::DaoDatabase& db_;
  std::int32_t songId_;
};

}  // namespace vx

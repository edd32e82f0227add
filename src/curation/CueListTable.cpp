#include "curation/CueListTable.h"

#include <QString>

#include "library/CCueListRec.h"
#include "library/SqlText.h"

namespace vx {
namespace {

// A dynaset of the song's cues with the text's filter and sort; closed when it goes.
class SongCues : public CCueListRec {
 public:
  SongCues(dao::DaoDatabase& db, const std::string& filter, const char* sort,
           dao::OpenType type = dao::OpenType::Dynaset)
      : CCueListRec(db) {
    SetFilter(filter);
    SetSort(sort);
    Open(type);
  }
  ~SongCues() override { Close(); }
};

}  // namespace

std::string CueListTable::SongCondition() const {
  return QString::asprintf("SongID = %ld", static_cast<long>(songId_)).toStdString();
}

std::string CueListTable::NameCondition(const std::string& description) const {
  return "CueDescription = '" + SqlQuote(description) + "'";
}

std::vector<CueListTable::Row> CueListTable::Load() const {
  SongCues cues(db_, SongCondition(), "CueNumber ASC ", dao::OpenType::Snapshot);
  std::vector<Row> rows;
  for (; !cues.IsEOF(); cues.MoveNext()) {
    rows.push_back({cues.CueDescription, cues.CueOffset, cues.CueNumber});
  }
  return rows;
}

std::int16_t CueListTable::NextCueNumber() const {
  SongCues cues(db_, SongCondition(), "CueNumber DESC");
  return cues.IsEOF() ? std::int16_t{1} : static_cast<std::int16_t>(cues.CueNumber + 1);
}

CueListTable::Result CueListTable::UpdateOffset(const std::string& description,
                                                const std::string& offset) {
  SongCues cues(db_, SongCondition(), "CueNumber DESC");
  if (!cues.FindFirst(NameCondition(description))) return Result::kNoSuchCue;
  cues.Edit();
  cues.CueOffset = offset;
  cues.Update();
  return Result::kDone;
}

CueListTable::Result CueListTable::Add(const std::string& description, const std::string& offset) {
  const std::int16_t number = NextCueNumber();
  SongCues cues(db_, SongCondition(), "CueNumber DESC");
  if (cues.FindFirst(NameCondition(description))) return Result::kNameTaken;
  cues.AddNew();
  cues.CueDescription = description;
  cues.CueNumber = number;
  cues.CueOffset = offset;
  cues.SongID = songId_;
  cues.Update();
  return Result::kDone;
}

CueListTable::Result CueListTable::Delete(const std::string& description) {
  SongCues cues(db_, SongCondition(), "CueNumber DESC");
  if (!cues.FindFirst(NameCondition(description))) return Result::kNoSuchCue;
  cues.Delete();
  return Result::kDone;
}

void CueListTable::Renumber() {
  const std::vector<Row> rows = Load();
  SongCues cues(db_, SongCondition(), "CueNumber");
  std::int16_t counter = 1;
  for (const Row& row : rows) {
    if (row.number != counter) {
      // The name and the old number pick the row even if another row shares its name.
      const std::string condition =
          NameCondition(row.description) + " And CueNumber = " + std::to_string(row.number);
      if (cues.FindFirst(condition)) {
        cues.Edit();
        cues.CueNumber = counter;
        cues.Update();
      }
    }
    ++counter;
  }
}

CueListTable::Result CueListTable::SetNumbers(const std::string& a, std::int16_t numberA,
                                              const std::string& b, std::int16_t numberB) {
  SongCues cues(db_, SongCondition(), "CueDescription");
  for (const auto& [description, number] : {std::pair{&a, numberA}, std::pair{&b, numberB}}) {
    if (!cues.FindFirst(NameCondition(*description))) return Result::kNoSuchCue;
    cues.Edit();
    cues.CueNumber = number;
    cues.Update();
  }
  return Result::kDone;
}

}  // namespace vx

// The table CueList: the named cue points of each song.
// Record class over the program's one open database; fields in binding order.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dao/DaoRecordset.h"

namespace vx {

class CCueListRec : public dao::DaoRecordset {
 public:
  explicit CCueListRec(dao::DaoDatabase& db) : DaoRecordset(db) {}

  std::string CueDescription;
  std::int16_t CueNumber = 0;
  std::string CueOffset;
  std::int32_t SongID = 0;

  std::string GetDefaultSQL() const override { return "CueList"; }
  dao::OpenType DefaultOpenType() const override { return dao::OpenType::Dynaset; }

 protected:
  void DoFieldExchange(dao::FieldExchange& fx) override;
};

}  // namespace vx

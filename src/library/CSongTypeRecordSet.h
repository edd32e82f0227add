// The table SongType: the song types (genres) and their descriptions.
// Record class over the program's one open database; fields in binding order.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dao/DaoRecordset.h"

namespace vx {

class CSongTypeRecordSet : public dao::DaoRecordset {
 public:
  explicit CSongTypeRecordSet(dao::DaoDatabase& db) : DaoRecordset(db) {}

  std::string SongTypeCode;
  std::string SongTypeDescription;

  std::string GetDefaultSQL() const override { return "SongType"; }
  dao::OpenType DefaultOpenType() const override { return dao::OpenType::Snapshot; }

 protected:
  void DoFieldExchange(dao::FieldExchange& fx) override;
};

}  // namespace vx

// The table Playlist: one row per playlist.
// Record class over the program's one open database; fields in binding order.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dao/DaoRecordset.h"

namespace vx {

class CPlaylist : public dao::DaoRecordset {
 public:
  explicit CPlaylist(dao::DaoDatabase& db) : DaoRecordset(db) {}

  std::string PlaylistName;
  dao::DaoDateTime PlaylistDate;
  std::int16_t CurrentSeqNum = 0;
  std::string PlaylistComment;

  std::string GetDefaultSQL() const override { return "Playlist"; }
  dao::OpenType DefaultOpenType() const override { return dao::OpenType::Dynaset; }

 protected:
  void DoFieldExchange(dao::FieldExchange& fx) override;
};

}  // namespace vx

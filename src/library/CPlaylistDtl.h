// The table PlaylistDetail: the entries of each playlist.
// Record class over the program's one open database; fields in binding order.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dao/DaoRecordset.h"

namespace vx {

class CPlaylistDtl : public dao::DaoRecordset {
 public:
  explicit CPlaylistDtl(dao::DaoDatabase& db) : DaoRecordset(db) {}

  std::string PlaylistName;
  std::int16_t PlaylistSequenceNum = 0;
  std::int32_t SongID = 0;
  std::string PlaylistOffset;

  std::string GetDefaultSQL() const override { return "PlaylistDetail"; }
  dao::OpenType DefaultOpenType() const override { return dao::OpenType::Dynaset; }

 protected:
  void DoFieldExchange(dao::FieldExchange& fx) override;
};

}  // namespace vx

// The table Songs: one row per song of the library.
// Record class over the program's one open database; fields in binding order.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dao/DaoRecordset.h"

namespace vx {

class CSongRecordset : public dao::DaoRecordset {
 public:
  explicit CSongRecordset(dao::DaoDatabase& db) : DaoRecordset(db) {}

  std::int32_t SongID = 0;
  std::string SongTypeCode;
  std::string SongName;
  std::string SongArtist;
  std::string SongAlbumName;
  std::string SongLabel;
  dao::DaoDateTime SongDate;
  dao::DaoDateTime SongRecordDate;
  double SongBPM = 0;
  std::string SongAttributes;
  std::string SongLength;
  std::string SongCdId;
  std::int16_t SongCdTrack = 0;
  std::int32_t SongCDDB = 0;
  std::string SongCompression;
  std::string SongComments;

  std::string GetDefaultSQL() const override { return "Songs"; }
  dao::OpenType DefaultOpenType() const override { return dao::OpenType::Dynaset; }

 protected:
  void DoFieldExchange(dao::FieldExchange& fx) override;
};

}  // namespace vx

#include "library/CSongRecordset.h"

namespace vx {

void CSongRecordset::DoFieldExchange(dao::FieldExchange& fx) {
  fx.Long("SongID", SongID);
  fx.Text("SongTypeCode", SongTypeCode);
  fx.Text("SongName", SongName);
  fx.Text("SongArtist", SongArtist);
  fx.Text("SongAlbumName", SongAlbumName);
  fx.Text("SongLabel", SongLabel);
  fx.DateTime("SongDate", SongDate);
  fx.DateTime("SongRecordDate", SongRecordDate);
  fx.Double("SongBPM", SongBPM);
  fx.Text("SongAttributes", SongAttributes);
  fx.Text("SongLength", SongLength);
  fx.Text("SongCdId", SongCdId);
  fx.Short("SongCdTrack", SongCdTrack);
  fx.Long("SongCDDB", SongCDDB);
  fx.Text("SongCompression", SongCompression);
  fx.Text("SongComments", SongComments);
}

}  // namespace vx

#include "library/CPlaylistDtl.h"

namespace vx {

void CPlaylistDtl::DoFieldExchange(dao::FieldExchange& fx) {
  fx.Text("PlaylistName", PlaylistName);
  fx.Short("PlaylistSequenceNum", PlaylistSequenceNum);
  fx.Long("SongID", SongID);
  fx.Text("PlaylistOffset", PlaylistOffset);
}

}  // namespace vx

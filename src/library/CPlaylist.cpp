#include "library/CPlaylist.h"

namespace vx {

void CPlaylist::DoFieldExchange(dao::FieldExchange& fx) {
  fx.Text("PlaylistName", PlaylistName);
  fx.DateTime("PlaylistDate", PlaylistDate);
  fx.Short("CurrentSeqNum", CurrentSeqNum);
  fx.Text("PlaylistComment", PlaylistComment);
}

}  // namespace vx

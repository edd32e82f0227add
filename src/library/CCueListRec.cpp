#include "library/CCueListRec.h"

namespace vx {

void CCueListRec::DoFieldExchange(dao::FieldExchange& fx) {
  fx.Text("CueDescription", CueDescription);
  fx.Short("CueNumber", CueNumber);
  fx.Text("CueOffset", CueOffset);
  fx.Long("SongID", SongID);
}

}  // namespace vx

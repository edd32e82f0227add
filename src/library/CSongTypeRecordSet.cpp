#include "library/CSongTypeRecordSet.h"

namespace vx {

void CSongTypeRecordSet::DoFieldExchange(dao::FieldExchange& fx) {
  fx.Text("SongTypeCode", SongTypeCode);
  fx.Text("SongTypeDescription", SongTypeDescription);
}

}  // namespace vx

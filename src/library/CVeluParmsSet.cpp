#include "library/CVeluParmsSet.h"

namespace vx {

void CVeluParmsSet::DoFieldExchange(dao::FieldExchange& fx) {
  fx.Text("ParmName", ParmName);
  fx.Text("ParmValue", ParmValue);
}

}  // namespace vx

// The table VeluParms: named settings of the library.
// Record class over the program's one open database; fields in binding order.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dao/DaoRecordset.h"

namespace vx {

class CVeluParmsSet : public dao::DaoRecordset {
 public:
  explicit CVeluParmsSet(dao::DaoDatabase& db) : DaoRecordset(db) {}

  std::string ParmName;
  std::string ParmValue;

  std::string GetDefaultSQL() const override { return "VeluParms"; }
  dao::OpenType DefaultOpenType() const override { return dao::OpenType::Dynaset; }

 protected:
  void DoFieldExchange(dao::FieldExchange& fx) override;
};

}  // namespace vx

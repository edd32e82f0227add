#include "library/LibraryTransaction.h"

#include "platform/dao/DaoDatabase.h"

namespace vx {

void RunInTransaction(dao::DaoDatabase& db, const std::function<void()>& work) {
  const bool transact = db.CanTransact();
  if (transact) db.BeginTrans();
  try {
    work();
    if (transact) db.CommitTrans();
  } catch (...) {
    if (transact) db.Rollback();
    throw;
  }
}

}  // namespace vx

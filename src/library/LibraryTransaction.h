// Runs a piece of library work as one transaction when the database can transact: committed
// when the work finishes, rolled back when it throws (the exception goes on to the caller).
#pragma once

#include <functional>

namespace vx::dao {
class DaoDatabase;
}

namespace vx {

void RunInTransaction(dao::DaoDatabase& db, const std::function<void()>& work);

}  // namespace vx

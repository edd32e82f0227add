// The player's form of the guard routine: the same catch order as every other operation
// (database exception -> ReportDaoError, then memory, then anything else), with the
// player's own memory and unexpected-error texts. Integer codes the work throws count as
// unexpected unless codeText names them.
#pragma once

#include <functional>

#include "library/GuardOperation.h"

namespace vx::player {

bool GuardPlayerOperation(const std::function<void()>& work, const CodeText& codeText = {});

// Runs work and answers false when anything at all was thrown, showing nothing: the decks
// count such failures instead of interrupting a set with a message box.
bool CountedOperation(const std::function<void()>& work);

}  // namespace vx::player

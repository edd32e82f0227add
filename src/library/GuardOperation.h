// The catch order every user operation of the programs follows:
//   database exception -> ReportDaoError;
//   exhausted memory   -> the memory text;
//   an int error code  -> the operation's own text for that code;
//   anything else      -> the unexpected-error text.
// Each is one message box with the stop icon. Nothing is retried.
#pragma once

#include <QString>

#include <functional>

namespace vx {

using CodeText = std::function<QString(int code)>;

// Runs work; answers true when it finished, false after reporting its failure. Without a
// codeText an integer code is reported as an unexpected error.
bool GuardOperation(const std::function<void()>& work, const CodeText& codeText = {});

}  // namespace vx

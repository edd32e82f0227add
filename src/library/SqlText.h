// Building SQL text from values that a person typed or a file supplied.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// The text with every apostrophe doubled, ready to stand between the apostrophes of a
// '%s' condition: "O'Brien" -> "O''Brien". The one quoting routine of the programs.
std::string SqlQuote(std::string_view text);

}  // namespace vx

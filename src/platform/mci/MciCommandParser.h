// Splits a command text into its words: the command, the device (alias, drive element or
// "type!element"), then the remaining words. Words are separated by blanks; a word in
// double quotation marks may hold blanks. The flags "wait" and "notify" are dropped: every
// command runs to its end before it answers, and no notification is sent.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vx::mci {

struct MciCommand {
  std::string verb;                // lower case
  std::string device;              // as written (quotes removed)
  std::vector<std::string> words;  // as written (quotes removed)

  // Whether the words from `at` on begin with these keywords (case-insensitive).
  bool Has(std::size_t at, std::initializer_list<std::string_view> keywords) const;
};

// False for an empty text, a text without a device, or an unclosed quotation mark.
bool ParseMciCommand(std::string_view text, MciCommand& command);

bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace vx::mci

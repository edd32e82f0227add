#include "platform/mci/MciCommandParser.h"

#include <algorithm>
#include <cctype>

namespace vx::mci {
namespace {

bool Split(std::string_view text, std::vector<std::string>& words) {
  std::size_t at = 0;
  while (at < text.size()) {
    if (std::isspace(static_cast<unsigned char>(text[at]))) {
      ++at;
      continue;
    }
    std::string word;
    if (text[at] == '"') {
      const std::size_t close = text.find('"', at + 1);
      if (close == std::string_view::npos) return false;
      word = text.substr(at + 1, close - at - 1);
      at = close + 1;
    } else {
      const std::size_t start = at;
      while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at]))) ++at;
      word = text.substr(start, at - start);
    }
    words.push_back(std::move(word));
  }
  return true;
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool MciCommand::Has(std::size_t at, std::initializer_list<std::string_view> keywords) const {
  if (at + keywords.size() > words.size()) return false;
  for (std::string_view keyword : keywords) {
    if (!EqualsNoCase(words[at++], keyword)) return false;
  }
  return true;
}

bool ParseMciCommand(std::string_view text, MciCommand& command) {
  std::vector<std::string> words;
  if (!Split(text, words) || words.size() < 2) return false;
  command = {};
  command.verb = words[0];
  std::transform(command.verb.begin(), command.verb.end(), command.verb.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  command.device = words[1];
  for (std::size_t i = 2; i < words.size(); ++i) {
    if (EqualsNoCase(words[i], "wait") || EqualsNoCase(words[i], "notify")) continue;
    command.words.push_back(std::move(words[i]));
  }
  return true;
}

}  // namespace vx::mci

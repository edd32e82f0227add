#include "platform/dao/JetLike.h"

#include <sqlite3.h>

#include <cstdint>

namespace vx::dao {
namespace {

// Decodes one UTF-8 character at text[pos] and advances pos. Malformed bytes decode as
// themselves so that every input terminates.
char32_t Next(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc0 ? 1 : 0;
  char32_t value = lead & (0x3f >> extra);
  for (; extra > 0 && pos < text.size(); --extra) {
    const auto cont = static_cast<unsigned char>(text[pos]);
    if ((cont & 0xc0) != 0x80) break;
    value = (value << 6) | (cont & 0x3f);
    ++pos;
  }
  return value;
}

// Simple case folding: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic capitals.
char32_t Fold(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  if ((c >= 0xc0 && c <= 0xde && c != 0xd7)) return c + 32;
  if (c == 0x178) return 0xff;
  if (c >= 0x100 && c <= 0x17e && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
    const bool evenUpper = (c < 0x139) || (c > 0x148 && c < 0x178);
    if (evenUpper ? (c % 2 == 0) : (c % 2 == 1)) return c + 1;
    return c;
  }
  if (c >= 0x391 && c <= 0x3ab && c != 0x3a2) return c + 32;
  if (c >= 0x410 && c <= 0x42f) return c + 32;
  if (c >= 0x400 && c <= 0x40f) return c + 80;
  return c;
}

// Matches one bracket set starting after '['; pos ends after ']'. An unterminated set is a
// literal '['.
bool MatchSet(std::string_view pattern, std::size_t& pos, char32_t c, bool& wellFormed) {
  std::size_t p = pos;
  bool negate = false;
  if (p < pattern.size() && pattern[p] == '!') {
    negate = true;
    ++p;
  }
  bool found = false;
  bool first = true;
  while (p < pattern.size() && (pattern[p] != ']' || first)) {
    first = false;
    char32_t low = Fold(Next(pattern, p));
    char32_t high = low;
    if (p + 1 < pattern.size() && pattern[p] == '-' && pattern[p + 1] != ']') {
      ++p;
      high = Fold(Next(pattern, p));
    }
    if (c >= low && c <= high) found = true;
  }
  if (p >= pattern.size()) {
    wellFormed = false;
    return false;
  }
  wellFormed = true;
  pos = p + 1;
  return found != negate;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// The literal of a pattern "*literal*" whose literal is ASCII without wildcards: the common
// "contains" search, answered by a plain scan. Non-ASCII text bytes never fold to ASCII, so
// the scan agrees with the general matcher.
bool PlainContainsLiteral(std::string_view pattern, std::string_view& literal) {
  if (pattern.size() < 2 || pattern.front() != '*' || pattern.back() != '*') return false;
  literal = pattern.substr(1, pattern.size() - 2);
  for (const char c : literal) {
    if (static_cast<unsigned char>(c) >= 0x80 || c == '*' || c == '?' || c == '#' || c == '[') {
      return false;
    }
  }
  return true;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view literal) {
  if (literal.empty()) return true;
  const char first = AsciiLower(literal.front());
  for (std::size_t i = 0; i + literal.size() <= text.size(); ++i) {
    if (AsciiLower(text[i]) != first) continue;
    std::size_t k = 1;
    while (k < literal.size() && AsciiLower(text[i + k]) == AsciiLower(literal[k])) ++k;
    if (k == literal.size()) return true;
  }
  return false;
}

bool Match(std::string_view pattern, std::string_view text, char32_t escape) {
  std::string_view literal;
  if (escape == 0 && PlainContainsLiteral(pattern, literal)) {
    return ContainsIgnoringCase(text, literal);
  }
  std::size_t p = 0;
  std::size_t t = 0;
  std::size_t starP = std::string_view::npos;
  std::size_t starT = 0;
  while (t < text.size()) {
    bool advanced = false;
    if (p < pattern.size()) {
      std::size_t np = p;
      const char32_t pc = Next(pattern, np);
      if (pc == '*') {
        starP = np;
        starT = t;
        p = np;
        continue;
      }
      std::size_t nt = t;
      const char32_t tc = Fold(Next(text, nt));
      bool ok = false;
      if (escape != 0 && pc == escape && np < pattern.size()) {
        ok = Fold(Next(pattern, np)) == tc;
      } else if (pc == '?') {
        ok = true;
      } else if (pc == '#') {
        ok = tc >= '0' && tc <= '9';
      } else if (pc == '[') {
        bool wellFormed = false;
        std::size_t sp = np;
        ok = MatchSet(pattern, sp, tc, wellFormed);
        if (wellFormed) {
          np = sp;
        } else {
          ok = tc == '[';
        }
      } else {
        ok = Fold(pc) == tc;
      }
      if (ok) {
        p = np;
        t = nt;
        advanced = true;
      }
    }
    if (!advanced) {
      if (starP == std::string_view::npos) return false;
      // Let the last '*' swallow one more character and try again from there.
      Next(text, starT);
      t = starT;
      p = starP;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

void LikeFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i) {
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
      sqlite3_result_null(context);
      return;
    }
  }
  auto view = [](sqlite3_value* v) {
    const auto* bytes = sqlite3_value_text(v);
    return std::string_view(reinterpret_cast<const char*>(bytes), sqlite3_value_bytes(v));
  };
  char32_t escape = 0;
  if (argc == 3) {
    const std::string_view e = view(argv[2]);
    std::size_t pos = 0;
    if (!e.empty()) escape = Next(e, pos);
  }
  sqlite3_result_int(context, Match(view(argv[0]), view(argv[1]), escape) ? 1 : 0);
}

}  // namespace

bool JetLikeMatch(std::string_view pattern, std::string_view text) {
  return Match(pattern, text, 0);
}

int RegisterJetLike(sqlite3* db) {
  constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  int rc = sqlite3_create_function(db, "like", 2, flags, nullptr, LikeFunction, nullptr, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_create_function(db, "like", 3, flags, nullptr, LikeFunction, nullptr, nullptr);
  }
  return rc;
}

}  // namespace vx::dao

// The wildcard "like" the library's queries are written for: '*' any run of characters,
// '?' any one character, '#' one digit, "[abc]" / "[a-z]" / "[!abc]" one character of (or not
// of) a set; letters compare without regard to case. Works on UTF-8 text.
#pragma once

#include <string_view>

struct sqlite3;

namespace vx::dao {

bool JetLikeMatch(std::string_view pattern, std::string_view text);

// Replaces SQLite's own like(X, Y) and like(X, Y, Z) on a connection with JetLikeMatch.
int RegisterJetLike(sqlite3* db);

}  // namespace vx::dao

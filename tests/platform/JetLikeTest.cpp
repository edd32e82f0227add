#include "platform/dao/JetLike.h"

#include <gtest/gtest.h>

namespace vx::dao {

TEST(JetLike, WildcardsMatchAsTheQueriesExpect) {
  struct Case {
    const char* pattern;
    const char* text;
    bool matches;
  } cases[] = {
      {"*", "", true},
      {"*LOVE*", "Endless love song", true},
      {"*LOVE*", "Lov e", false},
      {"*LOVE*", "gLOVe", true},
      {"*LOVE*", "LOV", false},
      {"**", "", true},
      {"*É*", "café", true},  // non-ASCII literals take the general path
      {"LOVE*", "a LOVE", false},
      {"*love", "I LOVE", true},
      {"?ove", "Love", true},
      {"?ove", "Lve", false},
      {"19##", "1984", true},
      {"19##", "19x4", false},
      {"[A-C]*", "beat", true},
      {"[!A-C]*", "beat", false},
      {"[!A-C]*", "drum", true},
      {"[*]*", "*star", true},
      {"a[b", "a[b", true},  // an unclosed set is a literal bracket
      {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
      {"O'BRIEN", "O'Brien", true},
      {"ÉTÉ*", "été indien", true},
      {"%", "anything", false},  // '%' and '_' are plain characters here
      {"_", "x", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JetLikeMatch(c.pattern, c.text), c.matches)
        << "pattern " << c.pattern << " text " << c.text;
  }
}

}  // namespace vx::dao

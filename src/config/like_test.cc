#include "config/like.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace ambervale {
namespace {

// Each case is "text|pattern".
TEST(LikeTest, ClassicWildcards) {
  const auto like = [](std::string_view c) {
    return Like(c.substr(0, c.find('|')), c.substr(c.find('|') + 1));
  };
  for (const char* yes : {"129|12*", "|*", "a0|a#", "-|[a-]", "[|[[]", "#|[#]", "]|]", "ab|a[]b",
                          "x|[!]", "\xE9t\xE9|\xE9?\xE9"}) {
    EXPECT_TRUE(like(yes)) << yes;
  }
  for (const char* no : {"|?", "abc|ABC", "M|[a-z]", "-|[!-a]", "x|[*]", "\xC9|[\xE0-\xFF]"}) {
    EXPECT_FALSE(like(no)) << no;
  }
  EXPECT_TRUE(Like(std::string_view("a\0b", 3), std::string_view("a?b", 3)));  // NUL is a character
}

TEST(LikeTest, MalformedPatternsMatchNothing) {
  for (const char* pattern : {"[a", "[", "[z-a]", "*[abc", "x[!"}) {
    EXPECT_FALSE(Like(pattern, pattern)) << pattern;
    EXPECT_FALSE(Like("a", pattern)) << pattern;
    EXPECT_FALSE(IsValidLikePattern(pattern)) << pattern;
  }
  EXPECT_TRUE(IsValidLikePattern("a[b-c]*#?]"));
}

// A plain backtracking matcher, exponential in the worst case, fine for short texts.
bool Reference(std::string_view t, std::string_view p) {
  if (p.empty()) return t.empty();
  if (p[0] == '*') {
    for (size_t k = 0; k <= t.size(); ++k) {
      if (Reference(t.substr(k), p.substr(1))) return true;
    }
    return false;
  }
  if (p.substr(0, 2) == "[]") return Reference(t, p.substr(2));
  if (t.empty()) return false;
  bool ok = false;
  size_t used = 1;
  if (p[0] == '?') {
    ok = true;
  } else if (p[0] == '#') {
    ok = t[0] >= '0' && t[0] <= '9';
  } else if (p[0] == '[') {
    const size_t close = p.find(']');
    std::string_view list = p.substr(1, close - 1);
    used = close + 1;
    const bool negate = list[0] == '!';
    if (negate) list.remove_prefix(1);
    bool in = false;
    for (size_t i = 0; i < list.size(); ++i) {
      if (i + 2 < list.size() && list[i + 1] == '-') {
        in = in || (t[0] >= list[i] && t[0] <= list[i + 2]);
        i += 2;
      } else {
        in = in || t[0] == list[i];
      }
    }
    ok = in != negate;
  } else {
    ok = t[0] == p[0];
  }
  return ok && Reference(t.substr(1), p.substr(used));
}

TEST(LikeTest, AgreesWithBacktrackingOnRandomInput) {
  const std::string kTextChars = "abc09-";
  const char* kPatternParts[] = {"a",    "b",    "0",     "?",     "#",  "*", "*",
                                 "[ab]", "[!a]", "[0-9]", "[a-c]", "[]", "-"};
  std::mt19937 random(42);
  for (int n = 0; n < 20000; ++n) {
    std::string text(random() % 8, 'a');
    for (char& c : text) c = kTextChars[random() % kTextChars.size()];
    std::string pattern;
    const size_t parts = random() % 6;
    for (size_t i = 0; i < parts; ++i)
      pattern += kPatternParts[random() % std::size(kPatternParts)];
    ASSERT_EQ(Like(text, pattern), Reference(text, pattern)) << text << " / " << pattern;
  }
}

TEST(LikeTest, ManyStarsStayFast) {
  const std::string text(20000, 'a');
  EXPECT_FALSE(Like(text, "*a*a*a*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(Like(text + "b", "*a*a*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace ambervale

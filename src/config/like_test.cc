#include "config/like.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace ambervale {
namespace {

TEST(LikeTest, ClassicWildcards) {
  const struct {
    const char* text;
    const char* pattern;
    bool match;
  } kCases[] = {
      {"129", "12*", true},
      {"129", "12", false},
      {"12", "12*", true},
      {"12", "12", true},
      {"", "", true},
      {"", "*", true},
      {"", "?", false},
      {"a", "", false},
      {"abc", "a?c", true},
      {"ac", "a?c", false},
      {"abc", "ABC", false},  // case-sensitive
      {"a5", "a#", true},
      {"ab", "a#", false},
      {"X1QD-", "X*QD-", true},
      {"XQD-", "X*QD-", true},
      {"X1QD", "X*QD-", false},
      {"b", "[abc]", true},
      {"d", "[abc]", false},
      {"d", "[!abc]", true},
      {"a", "[!abc]", false},
      {"m", "[a-z]", true},
      {"M", "[a-z]", false},
      {"5", "[A-Z0-9]", true},
      {"-", "[-a]", true},
      {"-", "[a-]", true},
      {"-", "[!-a]", false},
      {"b", "[a-c-]", true},
      {"[", "[[]", true},
      {"*", "[*]", true},
      {"x", "[*]", false},
      {"?", "[?]", true},
      {"#", "[#]", true},
      {"]", "]", true},
      {"!", "!", true},
      {"ab", "a[]b", true},
      {"x", "[!]", true},
      {"abc", "*", true},
      {"abc", "**c", true},
      {"abc", "*b", false},
      {"abcbc", "*bc", true},
      {"aXbYc", "a*b*c", true},
      {"acb", "a*b*c", false},
      {"mississippi", "m*iss*ppi", true},
      {"mississippi", "m*iss*ppx", false},
      {"\xE9t\xE9", "\xE9?\xE9", true},
      {"\xE9", "[\xE0-\xFF]", true},
      {"\xC9", "[\xE0-\xFF]", false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Like(c.text, c.pattern), c.match) << "'" << c.text << "' Like '" << c.pattern << "'";
  }
}

TEST(LikeTest, MalformedPatternsMatchNothing) {
  const struct {
    const char* text;
    const char* pattern;
  } kCases[] = {
      {"a", "[a"}, {"[a", "[a"}, {"", "["}, {"b", "[z-a]"}, {"abc", "*[abc"}, {"x", "x[!"},
  };
  for (const auto& c : kCases) {
    EXPECT_FALSE(Like(c.text, c.pattern)) << c.pattern;
    EXPECT_FALSE(IsValidLikePattern(c.pattern)) << c.pattern;
  }
  EXPECT_TRUE(IsValidLikePattern("a[b-c]*#?"));
  EXPECT_TRUE(IsValidLikePattern("]"));
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
  const std::string kTextChars = "ab1-";
  const char* kPatternParts[] = {"a", "b",    "1",    "?",     "#",  "*",
                                 "*", "[ab]", "[!a]", "[0-9]", "[]", "-"};
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
  EXPECT_TRUE(Like(text, std::string(10000, '*')));
}

TEST(LikeTest, NulIsAnOrdinaryCharacter) {
  EXPECT_TRUE(Like(std::string_view("a\0b", 3), std::string_view("a?b", 3)));
  EXPECT_FALSE(Like(std::string_view("a\0b", 3), "a"));
}

}  // namespace
}  // namespace ambervale

#include "config/like.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

namespace ambervale {
namespace {

// Each case is "text|pattern".
TEST(LikeTest, ClassicWildcards) {
  const auto like = [](std::string_view c) {
    return Like(c.substr(0, c.find('|')), c.substr(c.find('|') + 1));
  };
  // Stars, "?", "[]" and ranges are the random comparison's below; "#" matching the digit 0 is
  // named here as well, for a digit the random texts may seldom put under a "#".
  for (const char* yes :
       {"a0|a#", "-|[a-]", "[|[[]", "#|[#]", "]|]", "x|[!]", "\xE9t\xE9|\xE9?\xE9"}) {
    EXPECT_TRUE(like(yes)) << yes;
  }
  for (const char* no : {"|?", "abc|ABC", "M|[a-z]", "-|[!-a]", "x|[*]", "\xC9|[\xE0-\xFF]"}) {
    EXPECT_FALSE(like(no)) << no;
  }
  EXPECT_TRUE(Like(std::string_view("a\0b", 3), std::string_view("a?b", 3)));  // NUL is a character
}

// That they match nothing is the text fuzzing target's check.
TEST(LikeTest, MalformedPatterns) {
  for (const char* pattern : {"[a", "[", "[z-a]", "*[abc", "x[!"}) {
    EXPECT_FALSE(IsValidLikePattern(pattern)) << pattern;
  }
  EXPECT_TRUE(IsValidLikePattern("a[b-c]*#?]"));
}

// Patterns made of parts, each with its std::regex equivalent: Like must agree with the regex.
TEST(LikeTest, AgreesWithStdRegexOnRandomInput) {
  const std::string kTextChars = "abc09-";
  const std::pair<const char*, const char*> kParts[] = {
      {"a", "a"},  {"b", "b"},       {"0", "0"},          {"?", "."},         {"#", "[0-9]"},
      {"*", ".*"}, {"[ab]", "[ab]"}, {"[!a]", "[^a]"},    {"[0-9]", "[0-9]"}, {"[a-c]", "[a-c]"},
      {"[]", ""},  {"-", "-"},       {"[!0-9]", "[^0-9]"}};
  std::mt19937 random(42);
  for (int n = 0; n < 10000; ++n) {
    std::string text(random() % 8, 'a');
    for (char& c : text) c = kTextChars[random() % kTextChars.size()];
    std::string pattern, regex;
    for (size_t i = random() % 6; i > 0; --i) {
      const auto& [like, re] = kParts[random() % std::size(kParts)];
      pattern += like, regex += re;
    }
    ASSERT_EQ(Like(text, pattern), std::regex_match(text, std::regex(regex)))
        << text << " / " << pattern;
  }
}

TEST(LikeTest, ManyStarsStayFast) {
  const std::string text(20000, 'a');
  EXPECT_FALSE(Like(text, "*a*a*a*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(Like(text + "b", "*a*a*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace ambervale

#include "platform/cp1252.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace ambervale {
namespace {

TEST(Cp1252Test, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(Cp1252Test, ConvertsTheCodePageCharacters) {
  const struct {
    const char* name;
    const char* cp1252;
    const char* utf8;
  } kCases[] = {
      {"ascii", "ABC 1.", "ABC 1."},
      {"middle dot", "\xB7", "\xC2\xB7"},
      {"euro", "\x80", "\xE2\x82\xAC"},
      {"e acute", "\xE9", "\xC3\xA9"},
      {"y diaeresis", "\xFF", "\xC3\xBF"},
      {"capital y diaeresis", "\x9F", "\xC5\xB8"},
      {"trade mark", "\x99", "\xE2\x84\xA2"},
      {"undefined 0x81 keeps its C1 control", "\x81", "\xC2\x81"},
      {"nbsp", "\xA0", "\xC2\xA0"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8) << c.name;
    EXPECT_EQ(Utf8ToCp1252(c.utf8), std::string(c.cp1252)) << c.name;
  }
}

TEST(Cp1252Test, RefusesWhatTheCodePageCannotHold) {
  const struct {
    const char* name;
    std::string utf8;
  } kCases[] = {
      {"greek alpha", "\xCE\xB1"},
      {"C1 control with a code page character", "\xC2\x80"},
      {"cjk", "\xE4\xB8\xAD"},
      {"emoji", "\xF0\x9F\x98\x80"},
      {"truncated sequence", "\xC3"},
      {"lone continuation byte", "\xA9"},
      {"overlong slash", "\xC0\xAF"},
      {"surrogate", "\xED\xA0\x80"},
      {"beyond unicode", "\xF4\x90\x80\x80"},
      {"invalid lead byte", "\xFF"},
      {"good text, then a bad character", "AB\xCE\xB1"},
  };
  for (const auto& c : kCases) EXPECT_EQ(Utf8ToCp1252(c.utf8), std::nullopt) << c.name;
}

TEST(Cp1252Test, EmptyText) {
  EXPECT_EQ(Cp1252ToUtf8(""), "");
  EXPECT_EQ(Utf8ToCp1252(""), "");
}

}  // namespace
}  // namespace ambervale

#include "platform/classic_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <optional>
#include <string>

namespace ambervale {
namespace {

TEST(ClassicTextTest, MidLeftRightNeverReachOutsideTheText) {
  const struct {
    const char* name;
    std::string got;
    const char* want;
  } kCases[] = {
      {"mid inside", Mid("ABCDEF", 2, 3), "BCD"},
      {"mid to end", Mid("ABCDEF", 4), "DEF"},
      {"mid length past end", Mid("ABCDEF", 5, 100), "EF"},
      {"mid start 0", Mid("ABCDEF", 0, 2), ""},
      {"mid negative start", Mid("ABCDEF", -3, 2), ""},
      {"mid start past end", Mid("ABCDEF", 7, 1), ""},
      {"mid start far past end", Mid("ABC", 1000), ""},
      {"mid length 0", Mid("ABCDEF", 2, 0), ""},
      {"mid of empty", Mid("", 1, 1), ""},
      {"mid last char", Mid("ABCDEF", 6, 1), "F"},
      {"left", Left("ABCDEF", 2), "AB"},
      {"left 0", Left("ABCDEF", 0), ""},
      {"left negative", Left("ABCDEF", -1), ""},
      {"left past end", Left("ABC", 10), "ABC"},
      {"right", Right("ABCDEF", 2), "EF"},
      {"right 0", Right("ABCDEF", 0), ""},
      {"right negative", Right("ABCDEF", -2), ""},
      {"right past end", Right("ABC", 10), "ABC"},
      {"right of empty", Right("", 2), ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(ClassicTextTest, InStrFollowsTheClassicRules) {
  const struct {
    const char* name;
    int got;
    int want;
  } kCases[] = {
      {"found", InStr("ABCABC", "BC"), 2},
      {"from start", InStr("ABCABC", "BC", 3), 5},
      {"start at match", InStr("ABCABC", "BC", 5), 5},
      {"not found", InStr("ABC", "X"), 0},
      {"case-sensitive", InStr("abc", "B"), 0},
      {"start 0", InStr("ABC", "A", 0), 0},
      {"start negative", InStr("ABC", "A", -5), 0},
      {"start past end", InStr("ABC", "C", 4), 0},
      {"empty find", InStr("ABC", ""), 1},
      {"empty find at start", InStr("ABC", "", 3), 3},
      {"empty find just past end", InStr("ABC", "", 4), 4},
      {"empty find beyond", InStr("ABC", "", 5), 0},
      {"empty text", InStr("", ""), 0},
      {"empty text, find", InStr("", "A"), 0},
      {"find longer than text", InStr("AB", "ABC"), 0},
      {"no case", InStrNoCase("xSmith/john", "SMITH"), 2},
      {"no case accented", InStrNoCase("caf\xE9", "CAF\xC9"), 1},
      {"no case start", InStrNoCase("abAB", "ab", 2), 3},
      {"rev", InStrRev("A.B.C", "."), 4},
      {"rev none", InStrRev("ABC", "."), 0},
      {"rev whole", InStrRev("ABC", "ABC"), 1},
      {"rev empty find", InStrRev("ABC", ""), 3},
      {"rev empty text", InStrRev("", ""), 0},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(ClassicTextTest, ContainsAndEquals) {
  EXPECT_TRUE(Contains("ON QUEUE- 5", "QUEUE"));
  EXPECT_FALSE(Contains("on queue", "QUEUE"));
  EXPECT_TRUE(ContainsNoCase("on queue", "QUEUE"));
  EXPECT_TRUE(ContainsNoCase("", ""));
  EXPECT_FALSE(ContainsNoCase("", "A"));
  EXPECT_TRUE(EqualsNoCase("Sine", "SINE"));
  EXPECT_TRUE(EqualsNoCase("\xE0la", "\xC0LA"));
  EXPECT_FALSE(EqualsNoCase("SINE", "SINES"));
}

TEST(ClassicTextTest, TrimRemovesBlanksOnly) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");  // tabs are not blanks here
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(LTrim("  a "), "a ");
  EXPECT_EQ(RTrim("  a "), "  a");
}

TEST(ClassicTextTest, UpperAndLowerCaseOfTheCodePage) {
  const struct {
    const char* name;
    const char* lower;
    const char* upper;
  } kCases[] = {
      {"ascii", "abc xyz 123", "ABC XYZ 123"},
      {"a grave", "\xE0", "\xC0"},
      {"thorn", "\xFE", "\xDE"},
      {"s caron", "\x9A", "\x8A"},
      {"oe", "\x9C", "\x8C"},
      {"z caron", "\x9E", "\x8E"},
      {"y diaeresis", "\xFF", "\x9F"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(UCase(c.lower), c.upper) << c.name;
    EXPECT_EQ(LCase(c.upper), c.lower) << c.name;
  }
  // Bytes without a case partner stay as they are.
  const struct {
    const char* name;
    char c;
  } kUnchanged[] = {{"division sign", '\xF7'},
                    {"multiplication sign", '\xD7'},
                    {"sharp s", '\xDF'},
                    {"micro sign", '\xB5'},
                    {"middle dot", '\xB7'},
                    {"euro", '\x80'},
                    {"nul", '\0'},
                    {"at", '@'}};
  for (const auto& c : kUnchanged) {
    EXPECT_EQ(UpperChar(c.c), c.c) << c.name;
    EXPECT_EQ(LCase(std::string(1, c.c)), std::string(1, c.c)) << c.name;
  }
}

TEST(ClassicTextTest, ReplaceAndPad) {
  EXPECT_EQ(Replace("a,b,,c", ",", ";"), "a;b;;c");
  EXPECT_EQ(Replace("aaa", "aa", "b"), "ba");
  EXPECT_EQ(Replace("abc", "", "x"), "abc");
  EXPECT_EQ(Replace("abc", "b", ""), "ac");
  EXPECT_EQ(Replace("xx", "x", "xx"), "xxxx");
  EXPECT_EQ(PadRight("AB", 5), "AB   ");
  EXPECT_EQ(PadRight("ABCDEF", 3), "ABCDEF");
}

TEST(ClassicTextTest, IsNumericAcceptsTheClassicForms) {
  const struct {
    const char* text;
    bool numeric;
  } kCases[] = {
      {"12", true},     {" 12 ", true},  {"\t12\t", true}, {"-12", true},    {"+12", true},
      {"12.5", true},   {".5", true},    {"12.", true},    {"1e3", true},    {"1E3", true},
      {"1e+3", true},   {"1e-3", true},  {"1D3", true},    {"-1.5e2", true}, {"007", true},
      {"", false},      {" ", false},    {"-", false},     {"+", false},     {".", false},
      {"-.", false},    {"Q1", false},   {"1Q", false},    {"1 2", false},   {"1.2.3", false},
      {"1e", false},    {"1e+", false},  {"e3", false},    {"--1", false},   {"1-", false},
      {"&H1A", false},  {"&O17", false}, {"1,000", false}, {"$12", false},   {"1e400", false},
      {"12abc", false}, {"0x10", false}, {"nan", false},   {"inf", false},   {"1\xA0", false},
  };
  for (const auto& c : kCases) EXPECT_EQ(IsNumeric(c.text), c.numeric) << "'" << c.text << "'";
}

TEST(ClassicTextTest, NumericValue) {
  EXPECT_EQ(NumericValue(" -12.5 "), -12.5);
  EXPECT_EQ(NumericValue("1e3"), 1000.0);
  EXPECT_EQ(NumericValue("2.5E-1"), 0.25);
  EXPECT_EQ(NumericValue("x"), std::nullopt);
}

TEST(ClassicTextTest, NumericValueIgnoresTheProcessLocale) {
  // A window toolkit may switch the process to the user's locale, where the decimal mark can
  // be a comma; the settings and the CSV files always write a full stop.
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old != nullptr ? old : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
    GTEST_SKIP() << "de_DE locale not installed";
  }
  const std::optional<double> v = NumericValue("12.75");
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(v, 12.75);
}

TEST(ClassicTextTest, IntegerConversionRoundsHalvesToEven) {
  const struct {
    const char* text;
    std::optional<int16_t> want;
  } kCases[] = {
      {"0.5", 0},
      {"1.5", 2},
      {"2.5", 2},
      {"3.5", 4},
      {"-0.5", 0},
      {"-1.5", -2},
      {"-2.5", -2},
      {"12.5", 12},
      {"12.4", 12},
      {"12.6", 13},
      {"12.500001", 13},
      {" 12 ", 12},
      {"1e3", 1000},
      {"32767", 32767},
      {"32766.5", 32766},
      {"32767.4", 32767},
      {"32767.5", std::nullopt},
      {"32768", std::nullopt},
      {"-32768", -32768},
      {"-32768.5", -32768},
      {"-32769", std::nullopt},
      {"99999", std::nullopt},
      {"Q1", std::nullopt},
      {"", std::nullopt},
      {"1e300", std::nullopt},
  };
  for (const auto& c : kCases) EXPECT_EQ(ToInt16(c.text), c.want) << "'" << c.text << "'";
}

TEST(ClassicTextTest, Int32Conversion) {
  const struct {
    const char* text;
    std::optional<int32_t> want;
  } kCases[] = {
      {"2147483647", 2147483647},
      {"2147483646.5", 2147483646},
      {"2147483647.5", std::nullopt},
      {"2147483648", std::nullopt},
      {"-2147483648", std::numeric_limits<int32_t>::min()},
      {"-2147483649", std::nullopt},
      {"1000000", 1000000},
      {" 5000 ", 5000},
      {"5000KB", std::nullopt},
  };
  for (const auto& c : kCases) EXPECT_EQ(ToInt32(c.text), c.want) << "'" << c.text << "'";
}

TEST(ClassicTextTest, DateAndTimeFormats) {
  CivilTime t;
  t.year = 2012;
  t.month = 12;
  t.day = 5;
  t.hour = 7;
  t.minute = 3;
  t.second = 9;
  EXPECT_EQ(FormatDate(t), "2012/12/05");
  EXPECT_EQ(FormatTime(t), "07:03:09");
  EXPECT_EQ(FormatDateTime(t), "2012/12/05 07:03:09");
  t.hour = 23;
  EXPECT_EQ(FormatTime(t), "23:03:09");
}

}  // namespace
}  // namespace ambervale

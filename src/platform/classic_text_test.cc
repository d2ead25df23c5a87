// The classic text and number semantics, and the Windows-1252 code page they work in.

#include "platform/classic_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/cp1252.h"

namespace ambervale {
namespace {

// Each line is a case; a failure names its expression.
TEST(ClassicTextTest, TextFunctionsNeverReachOutsideTheText) {
  EXPECT_EQ(Mid("ABCDEF", 6, 1), "F");
  EXPECT_EQ(Mid("ABCDEF", 0, 2), "");
  EXPECT_EQ(Mid("ABC", 4, 1), "");
  EXPECT_EQ(Left("ABCDEF", -1), "");
  EXPECT_EQ(Right("ABCDEF", -2), "");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");  // tabs are not blanks here
  EXPECT_EQ(LTrim("  a ") + "|" + RTrim("  a "), "a |  a");
  EXPECT_EQ(Replace("aaa", "aa", "b"), "ba");
  EXPECT_EQ(Replace("xx", "x", "xx"), "xxxx");

  EXPECT_EQ(InStr("ABCABC", "BC", 5), 5);
  EXPECT_EQ(InStr("ABC", "A", 0), 0);
  EXPECT_EQ(InStr("ABC", "", 4), 4);
  EXPECT_EQ(InStr("ABC", "", 5), 0);
  EXPECT_EQ(InStr("AB", "ABC"), 0);
  EXPECT_EQ(InStrNoCase("xcaf\xE9", "CAF\xC9"), 2);
  EXPECT_EQ(InStrNoCase("abAB", "ab", 2), 3);
  EXPECT_EQ(InStrRev("A.B.C", "."), 4);
  EXPECT_EQ(InStrRev("ABC", ""), 3);
  EXPECT_TRUE(EqualsNoCase("\xE0la", "\xC0LA"));
}

TEST(ClassicTextTest, CaseOfTheCodePage) {
  EXPECT_EQ(UCase("abc xyz 123 \xE0\xFE\x9A\x9C\x9E\xFF"), "ABC XYZ 123 \xC0\xDE\x8A\x8C\x8E\x9F");
  EXPECT_EQ(LCase("ABC XYZ 123 \xC0\xDE\x8A\x8C\x8E\x9F"), "abc xyz 123 \xE0\xFE\x9A\x9C\x9E\xFF");
  // Bytes without a case partner: division and multiplication signs, sharp s, micro sign,
  // middle dot, euro, NUL.
  const std::string unchanged("\xF7\xD7\xDF\xB5\xB7\x80\0@", 8);
  EXPECT_EQ(UCase(unchanged), unchanged);
  EXPECT_EQ(LCase(unchanged), unchanged);
}

TEST(ClassicTextTest, IsNumericAcceptsTheClassicForms) {
  for (const char* yes : {" 12 ", "\t12\t", "+12", ".5", "12.", "1E3", "1e-3", "1D3", "-1.5e2"}) {
    EXPECT_TRUE(IsNumeric(yes)) << "'" << yes << "'";
  }
  for (const char* no : {"", " ", "-.", "1Q", "1 2", "1.2.3", "1e+", "e3", "--1", "1-", "&H1A",
                         "1,000", "1e400", "0x10", "nan", "1\xA0"}) {
    EXPECT_FALSE(IsNumeric(no)) << "'" << no << "'";
  }
  EXPECT_EQ(NumericValue(" -12.5 "), -12.5);
  EXPECT_EQ(NumericValue("2.5E-1"), 0.25);
}

TEST(ClassicTextTest, IntegerConversionRoundsHalvesToEven) {
  constexpr std::nullopt_t no = std::nullopt;
  const struct {
    const char* text;
    std::optional<int32_t> want16;
    std::optional<int32_t> want32;
  } kCases[] = {{"1.5", 2, 2},

                {"-2.5", -2, -2},
                {"32767.4", 32767, 32767},
                {"32767.5", no, 32768},
                {"-32768.5", -32768, -32768},

                {"-2147483648", no, -2147483647 - 1},
                {"-2147483649", no, no},
                {"2147483648", no, no}};
  for (const auto& c : kCases) {
    const std::optional<int16_t> i16 = ToInt16(c.text);
    EXPECT_EQ(i16 ? std::optional<int32_t>(*i16) : std::nullopt, c.want16) << "'" << c.text << "'";
    EXPECT_EQ(ToInt32(c.text), c.want32) << "'" << c.text << "'";
  }
}

// The round trip of every byte is the text fuzzing target's check.
TEST(Cp1252Test, HighBytesAndWhatTheCodePageCannotHold) {
  // The euro, the capital Y diaeresis, an undefined byte (its C1 control), the middle dot.
  EXPECT_EQ(Cp1252ToUtf8("A\x80\x9F\x81\xB7"), "A\xE2\x82\xAC\xC5\xB8\xC2\x81\xC2\xB7");
  for (const char* utf8 : {"\xCE\xB1", "\xC2\x80", "\xC3", "\xC0\xAF", "\xED\xA0\x80"}) {
    EXPECT_EQ(Utf8ToCp1252(utf8), std::nullopt) << utf8;
  }
}

}  // namespace
}  // namespace ambervale

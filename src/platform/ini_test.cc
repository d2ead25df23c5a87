#include "platform/ini.h"

#include <gtest/gtest.h>

#include <string>

namespace ambervale {
namespace {

constexpr char kSettings[] =
    "\xEF\xBB\xBF[LOG]\r\nLOGFILESIZE = 5000000 \r\n\r\n"
    "[Others\r\nPCCCheck=Y\r\n[Timer]\r\ncounter=30\r\nCounter=99\r\n"
    "  [ USER ]  \r\n\tNAME\t=\t  Jane Doe\t\r\nQUOTED=\"  padded  \"\r\nSINGLE='x'\r\n"
    "HALF=\"open\r\nMIXED=\"a'\r\nLONE=\"\r\nTWO=\"\"\r\nEMPTY=\r\n"
    "NOEQUALS\r\n;COMMENTED=1\r\nINLINE=abc ; not a comment\r\nEQ=a=b\r\n"
    "CP=Caf\xE9 \xB7\r\n[timer]\r\nCOUNTER=7\r\nLATE=1\r\n[Unix]\nLF=yes\nLAST=end";

TEST(ReadIniValueTest, FollowsTheProfileStringRules) {
  const struct {
    const char* name;
    const char* section;
    const char* key;
    const char* want;
  } kCases[] = {
      {"byte order mark, blanks around the value", "LOG", "LOGFILESIZE", "5000000"},
      {"first key wins", "TIMER", "COUNTER", "30"},
      {"first section wins", "TIMER", "LATE", "dflt"},
      {"blanks around a section name", "USER", "NAME", "Jane Doe"},
      {"a tab around a requested name is kept", "\tUSER", "NAME", "dflt"},
      {"a header without its ] names its section", "others", "PCCCheck", "Y"},
      {"its keys are not in the section above", "LOG", "PCCCheck", "dflt"},
      {"double quotes stripped, inside kept", "USER", "QUOTED", "  padded  "},
      {"unclosed quote kept", "USER", "HALF", "\"open"},
      {"different quotes kept", "USER", "MIXED", "\"a'"},
      {"two quotes give empty", "USER", "TWO", ""},
      {"empty value is not the default", "USER", "EMPTY", ""},
      {"line without equals is no key", "USER", "NOEQUALS", "dflt"},
      {"comment", "USER", ";COMMENTED", "dflt"},
      {"no inline comments", "USER", "INLINE", "abc ; not a comment"},
      {"LF line ends", "UNIX", "LF", "yes"},
      {"last line without line end", "UNIX", "LAST", "end"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ReadIniValue(kSettings, c.section, c.key, "dflt"), c.want) << c.name;
  }
  // Values and defaults are cut to 255 characters; a default loses its trailing blanks.
  const std::string v300(300, 'v');
  const std::string text = "[A]\r\nK=" + v300 + "\r\nQ=\"" + v300 + "\"\r\n";
  EXPECT_EQ(ReadIniValue(text, "A", "K", ""), std::string(255, 'v'));
  EXPECT_EQ(ReadIniValue("", "A", "K", v300), std::string(255, 'v'));
  EXPECT_EQ(ReadIniValue("", "A", "K", "x  "), "x");
}

}  // namespace
}  // namespace ambervale

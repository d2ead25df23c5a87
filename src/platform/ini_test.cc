#include "platform/ini.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "testing/temp_dir.h"

namespace ambervale::testing {
namespace {

constexpr char kSettings[] =
    "\xEF\xBB\xBF[LOG]\r\nLOGFILESIZE = 5000000 \r\n\r\n"
    "[Others\r\nPCCCheck=Y\r\n[Timer]\r\ncounter=30\r\nCounter=99\r\n"
    "  [ USER ]  \r\n\tNAME\t=\t  Jane Doe\t\r\nQUOTED=\"  padded  \"\r\nSINGLE='x'\r\n"
    "HALF=\"open\r\nLONE=\"\r\nTWO=\"\"\r\nEMPTY=\r\n"
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
      {"double quotes stripped, inside kept", "USER", "QUOTED", "  padded  "},
      {"unclosed quote kept", "USER", "HALF", "\"open"},
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

// Writes (a value), key deletes (no value) and section deletes (no key) change only the lines
// they must; failures give the class's error and leave the file.
TEST(ClsIniTest, WritesAndDeletesKeepEveryOtherLine) {
  const struct {
    const char* name;
    const char* before;  // nullptr: no file (also after)
    const char* section;
    const char* key;
    const char* value;
    const char* after;  // or the error, starting with "-"
  } kCases[] = {
      {"replace", "; top\r\n[LOG]\r\nlogFileSize = 10 \r\n; note\r\nOther=1\n\r\n[T]\r\nC=5", "log",
       "LOGFILESIZE", "20",
       "; top\r\n[LOG]\r\nlogFileSize=20\r\n; note\r\nOther=1\n\r\n[T]\r\nC=5"},
      {"add after the last non-blank line", "[LOG]\r\nA=1\r\n\r\n[T]\r\nC=5", "LOG", "B", "2",
       "[LOG]\r\nA=1\r\nB=2\r\n\r\n[T]\r\nC=5"},
      {"new file", nullptr, "MOVE", "MUSTMOVE", "Y", "[MOVE]\r\nMUSTMOVE=Y\r\n"},
      {"new section", "[A]\nK=1", "B", "K", "2", "[A]\nK=1\r\n[B]\r\nK=2\r\n"},
      {"delete the first key", "[A]\r\nk=1\r\nK=2\r\n[B]\r\nK=4\r\n", "a", "K", nullptr,
       "[A]\r\nK=2\r\n[B]\r\nK=4\r\n"},
      {"delete a key of no file", nullptr, "A", "K", nullptr, nullptr},
      {"delete every section of the name",
       "; top\r\n[A]\r\nK=1\r\n\r\n[B]\r\nK=2\r\n[a]\r\nK=3\r\n[C]\nK=4\n", "A", nullptr, nullptr,
       "; top\r\n[B]\r\nK=2\r\n[C]\nK=4\n"},
      {"a value with a line break", "[A]\r\n", "A", "K", "1\r\n[B]",
       "-2147219874 clsINI: WriteToINI: Unsuccessful Write To INI Procedure"},
      {"a key name with =", "[A]\r\n", "A", "K=X", "1",
       "-2147219874 clsINI: WriteToINI: Unsuccessful Write To INI Procedure"},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    const std::string path = dir.File("s.ini");
    if (c.before != nullptr) dir.Write("s.ini", c.before);
    const clsINI ini;
    const std::optional<IniError> e = c.key == nullptr ? ini.DeleteSection(c.section, path)
                                      : c.value == nullptr
                                          ? ini.DeleteKey(c.section, c.key, path)
                                          : ini.WriteToINI(c.section, c.key, c.value, path);
    const std::string error =
        e ? std::to_string(e->number) + " " + e->source + ": " + e->description : "";
    const bool fails = c.after != nullptr && c.after[0] == '-';
    EXPECT_EQ(error, fails ? c.after : "") << c.name;
    EXPECT_EQ(dir.Exists("s.ini"), c.before != nullptr || c.after != nullptr) << c.name;
    EXPECT_EQ(dir.Read("s.ini"), fails ? c.before : c.after == nullptr ? "" : c.after) << c.name;
  }
  TempDir dir;
  const std::optional<IniError> e = clsINI().DeleteSection("A", dir.path());
  EXPECT_EQ(e ? std::to_string(e->number) + " " + e->source + ": " + e->description : "",
            "-2147219873 clsINI: DeleteSection: Unsuccessful Delete");
}

}  // namespace
}  // namespace ambervale::testing

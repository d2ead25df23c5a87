#include "platform/ini.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "testing/temp_dir.h"

namespace ambervale {
namespace {

constexpr char kSettings[] =
    "; Ambervale settings\r\n"
    "[LOG]\r\n"
    "LOGFILESIZE = 5000000 \r\n"
    "\r\n"
    "[Others\r\n"
    "PCCCheck=Y\r\n"
    "[Timer]\r\n"
    "counter=30\r\n"
    "Counter=99\r\n"
    "  [ USER ]  \r\n"
    "\tNAME\t=\t  Jane Doe\t\r\n"
    "QUOTED=\"  padded  \"\r\n"
    "SINGLE='x'\r\n"
    "HALF=\"open\r\n"
    "MIXED=\"a'\r\n"
    "INNER=a \"b\" c\r\n"
    "LONE=\"\r\n"
    "TWO=\"\"\r\n"
    "EMPTY=\r\n"
    "NOEQUALS\r\n"
    ";COMMENTED=1\r\n"
    "  ; INDENTED=1\r\n"
    "INLINE=abc ; not a comment\r\n"
    "EQ=a=b\r\n"
    "[timer]\r\n"
    "COUNTER=7\r\n"
    "LATE=1\r\n"
    "[Unix]\n"
    "LF=yes\n"
    "LAST=end";

TEST(ReadIniValueTest, FollowsTheProfileStringRules) {
  const struct {
    const char* name;
    const char* section;
    const char* key;
    const char* want;
  } kCases[] = {
      {"blanks around the value", "LOG", "LOGFILESIZE", "5000000"},
      {"section and key ignore case", "log", "logfilesize", "5000000"},
      {"first key wins", "TIMER", "COUNTER", "30"},
      {"first section wins", "TIMER", "LATE", "dflt"},
      {"blanks around a section name", "USER", "NAME", "Jane Doe"},
      {"blanks around the requested names", " USER ", " NAME ", "Jane Doe"},
      {"a tab before the requested section is kept", "\tUSER", "NAME", "dflt"},
      {"a tab after the requested key is kept", "USER", "NAME\t", "dflt"},
      {"a header without its ] names its section", "others", "PCCCheck", "Y"},
      {"its keys are not in the section above", "LOG", "PCCCheck", "dflt"},
      {"double quotes stripped, inside kept", "USER", "QUOTED", "  padded  "},
      {"single quotes stripped", "USER", "SINGLE", "x"},
      {"unclosed quote kept", "USER", "HALF", "\"open"},
      {"different quotes kept", "USER", "MIXED", "\"a'"},
      {"inner quotes kept", "USER", "INNER", "a \"b\" c"},
      {"a lone quote is kept", "USER", "LONE", "\""},
      {"two quotes give empty", "USER", "TWO", ""},
      {"empty value is not the default", "USER", "EMPTY", ""},
      {"line without equals is no key", "USER", "NOEQUALS", "dflt"},
      {"comment", "USER", ";COMMENTED", "dflt"},
      {"indented comment", "USER", "; INDENTED", "dflt"},
      {"no inline comments", "USER", "INLINE", "abc ; not a comment"},
      {"value may hold equals", "USER", "EQ", "a=b"},
      {"missing key", "USER", "NOPE", "dflt"},
      {"missing section", "NOPE", "NAME", "dflt"},
      {"key of another section", "LOG", "NAME", "dflt"},
      {"LF line ends", "UNIX", "LF", "yes"},
      {"last line without line end", "UNIX", "LAST", "end"},
      {"empty key name", "USER", "", "dflt"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ReadIniValue(kSettings, c.section, c.key, "dflt"), c.want) << c.name;
  }
}

TEST(ReadIniValueTest, CutsValuesTo255Characters) {
  const std::string long_value(300, 'v');
  const std::string text = "[A]\r\nK=" + long_value + "\r\nQ=\"" + long_value + "\"\r\n";
  EXPECT_EQ(ReadIniValue(text, "A", "K", ""), std::string(255, 'v'));
  EXPECT_EQ(ReadIniValue(text, "A", "Q", ""), std::string(255, 'v'));
  const std::string exact = "[A]\r\nK=" + std::string(255, 'w') + "\r\n";
  EXPECT_EQ(ReadIniValue(exact, "A", "K", ""), std::string(255, 'w'));
}

TEST(ReadIniValueTest, DefaultsByteOrderMarkAndWindows1252) {
  EXPECT_EQ(ReadIniValue("", "A", "K", "x  "), "x");  // the default loses trailing blanks
  EXPECT_EQ(ReadIniValue("", "A", "K", ""), "");
  EXPECT_EQ(ReadIniValue("", "A", "K", std::string(300, 'd')), std::string(255, 'd'));
  EXPECT_EQ(ReadIniValue("\xEF\xBB\xBF[A]\r\nK=1\r\n", "A", "K", ""), "1");
  EXPECT_EQ(ReadIniValue("[A]\r\nK=Caf\xE9 \xB7\r\n", "a", "k", ""), "Caf\xE9 \xB7");
}

TEST(ClsIniTest, ReadsAFileOrGivesTheDefault) {
  TempDir dir;
  dir.Write("settings.ini", kSettings);
  const clsINI ini;
  EXPECT_EQ(ini.ReadFromINI("USER", "NAME", "", dir.File("settings.ini")), "Jane Doe");
  EXPECT_EQ(ini.ReadFromINI("USER", "NAME", "none", dir.File("missing.ini")), "none");
  EXPECT_EQ(ini.ReadFromINI("USER", "NAME", "none", dir.path()), "none");
}

TEST(ClsIniTest, WriteReplacesAKeyAndKeepsEveryOtherLine) {
  TempDir dir;
  const std::string path = dir.File("settings.ini");
  dir.Write("settings.ini",
            "; top\r\n[LOG]\r\nlogFileSize = 10 \r\n; note\r\nOther=1\n\r\n[TIMER]\r\nCOUNTER=5");
  const clsINI ini;
  EXPECT_EQ(ini.WriteToINI("log", "LOGFILESIZE", "20", path), std::nullopt);
  EXPECT_EQ(dir.Read("settings.ini"),
            "; top\r\n[LOG]\r\nlogFileSize=20\r\n; note\r\nOther=1\n\r\n[TIMER]\r\nCOUNTER=5");
  EXPECT_EQ(ini.ReadFromINI("LOG", "LOGFILESIZE", "", path), "20");
}

TEST(ClsIniTest, WriteAddsAKeyAtTheEndOfItsSection) {
  TempDir dir;
  const std::string path = dir.File("settings.ini");
  dir.Write("settings.ini", "[LOG]\r\nA=1\r\n\r\n[TIMER]\r\nCOUNTER=5");
  const clsINI ini;
  EXPECT_EQ(ini.WriteToINI("LOG", "B", "2", path), std::nullopt);
  EXPECT_EQ(ini.WriteToINI("TIMER", "C", "3", path), std::nullopt);
  EXPECT_EQ(dir.Read("settings.ini"), "[LOG]\r\nA=1\r\nB=2\r\n\r\n[TIMER]\r\nCOUNTER=5\r\nC=3\r\n");
}

TEST(ClsIniTest, WriteCreatesTheSectionAndTheFile) {
  TempDir dir;
  const std::string path = dir.File("new.ini");
  const clsINI ini;
  EXPECT_EQ(ini.WriteToINI("MOVE", "MUSTMOVE", "Y", path), std::nullopt);
  EXPECT_EQ(dir.Read("new.ini"), "[MOVE]\r\nMUSTMOVE=Y\r\n");
  EXPECT_EQ(ini.WriteToINI("TAU", "DATE", "3", path), std::nullopt);
  EXPECT_EQ(dir.Read("new.ini"), "[MOVE]\r\nMUSTMOVE=Y\r\n[TAU]\r\nDATE=3\r\n");
  dir.Write("lf.ini", "[A]\nK=1");
  EXPECT_EQ(ini.WriteToINI("B", "K", "2", dir.File("lf.ini")), std::nullopt);
  EXPECT_EQ(dir.Read("lf.ini"), "[A]\nK=1\r\n[B]\r\nK=2\r\n");
}

TEST(ClsIniTest, WriteFailuresGiveTheClassError) {
  TempDir dir;
  dir.Write("settings.ini", "[A]\r\nK=1\r\n");
  const clsINI ini;
  const struct {
    const char* name;
    std::string section;
    std::string key;
    std::string value;
    std::string path;
  } kCases[] = {
      {"missing folder", "A", "K", "1", dir.File("no/such/settings.ini")},
      {"path is a folder", "A", "K", "1", dir.path()},
      {"line break in the value", "A", "K", "1\r\n[B]", dir.File("settings.ini")},
      {"empty key", "A", " ", "1", dir.File("settings.ini")},
      {"empty section", "", "K", "1", dir.File("settings.ini")},
      {"equals in the key", "A", "K=X", "1", dir.File("settings.ini")},
      {"bracket in the section", "A]", "K", "1", dir.File("settings.ini")},
      {"comment key", "A", ";K", "1", dir.File("settings.ini")},
      {"tab around the key", "A", "K\t", "1", dir.File("settings.ini")},
  };
  for (const auto& c : kCases) {
    const std::optional<IniError> e = ini.WriteToINI(c.section, c.key, c.value, c.path);
    ASSERT_TRUE(e.has_value()) << c.name;
    EXPECT_EQ(e->number, -2147219874) << c.name;
    EXPECT_EQ(e->source, "clsINI: WriteToINI") << c.name;
    EXPECT_EQ(e->description, "Unsuccessful Write To INI Procedure") << c.name;
  }
  EXPECT_EQ(dir.Read("settings.ini"), "[A]\r\nK=1\r\n");
}

TEST(ClsIniTest, WriteToAReadOnlyFileFailsAndLeavesIt) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  TempDir dir;
  const std::string path = dir.File("settings.ini");
  dir.Write("settings.ini", "[A]\r\nK=1\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  const clsINI ini;
  EXPECT_TRUE(ini.WriteToINI("A", "K", "2", path).has_value());
  EXPECT_TRUE(ini.DeleteKey("A", "K", path).has_value());
  EXPECT_EQ(dir.Read("settings.ini"), "[A]\r\nK=1\r\n");
}

TEST(ClsIniTest, DeleteKeyRemovesOnlyThatLine) {
  TempDir dir;
  const std::string path = dir.File("settings.ini");
  dir.Write("settings.ini", "[A]\r\nk=1\r\nK=2\r\nL=3\r\n[B]\r\nK=4\r\n");
  const clsINI ini;
  EXPECT_EQ(ini.DeleteKey("a", "K", path), std::nullopt);
  EXPECT_EQ(dir.Read("settings.ini"), "[A]\r\nK=2\r\nL=3\r\n[B]\r\nK=4\r\n");
  EXPECT_EQ(ini.ReadFromINI("A", "K", "", path), "2");
  EXPECT_EQ(ini.DeleteKey("A", "NOPE", path), std::nullopt);
  EXPECT_EQ(ini.DeleteKey("NOPE", "K", path), std::nullopt);
  EXPECT_EQ(ini.DeleteKey("A", "K", dir.File("missing.ini")), std::nullopt);
  EXPECT_FALSE(dir.Exists("missing.ini"));
  EXPECT_EQ(dir.Read("settings.ini"), "[A]\r\nK=2\r\nL=3\r\n[B]\r\nK=4\r\n");
}

TEST(ClsIniTest, DeleteSectionRemovesEverySectionOfTheName) {
  TempDir dir;
  const std::string path = dir.File("settings.ini");
  dir.Write("settings.ini", "; top\r\n[A]\r\nK=1\r\n\r\n[B]\r\nK=2\r\n[a]\r\nK=3\r\n[C]\nK=4\n");
  const clsINI ini;
  EXPECT_EQ(ini.DeleteSection("A", path), std::nullopt);
  EXPECT_EQ(dir.Read("settings.ini"), "; top\r\n[B]\r\nK=2\r\n[C]\nK=4\n");
  EXPECT_EQ(ini.ReadFromINI("A", "K", "gone", path), "gone");
  EXPECT_EQ(ini.DeleteSection("NOPE", path), std::nullopt);
  EXPECT_EQ(ini.DeleteSection("A", dir.File("missing.ini")), std::nullopt);
}

TEST(ClsIniTest, DeleteFailuresGiveTheClassError) {
  TempDir dir;
  const clsINI ini;
  const std::optional<IniError> key = ini.DeleteKey("A", "K", dir.path());
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(key->number, -2147219873);
  EXPECT_EQ(key->source, "clsINI: DeleteKey");
  EXPECT_EQ(key->description, "Unsuccessful Delete");
  const std::optional<IniError> section = ini.DeleteSection("A", dir.path());
  ASSERT_TRUE(section.has_value());
  EXPECT_EQ(section->number, -2147219873);
  EXPECT_EQ(section->source, "clsINI: DeleteSection");
  EXPECT_EQ(section->description, "Unsuccessful Delete");
}

}  // namespace
}  // namespace ambervale

#include "config/agent_mapping.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "testing/program_files.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

constexpr char kStamp[] = "##### 2026/12/06 10:00:00";

// Writes tasks.csv (one task a "PCC,queue,category,file" row) and the mapping files (name, data
// rows under the standard header).
void Configure(TestProgram& p, const std::vector<std::string>& tasks,
               const std::vector<std::pair<std::string, std::string>>& files) {
  std::string text = kTaskHeader;
  for (const std::string& task : tasks) text += task + ",N,\r\n";
  p.dir.Write("tasks.csv", text);
  for (const auto& [file, rows] : files) p.dir.Write(file, kMappingHeader + rows);
}

// Rows are grouped by identifier in the order first seen; a one-digit sine gets its prefix; a
// file is found whatever the case of its name and is read once. (Columns in any order and files
// in folders: the task file's loader and the file lookup share the readers.)
TEST(MappingTest, LoadsEveryNamedFileOnce) {
  TestProgram p;
  Configure(
      p, {"ABC1,5,,sales.csv", "XYZ2,1,,SALES.CSV"},
      {{"Sales.Csv",
        " smith , ab ,,,,,xyz9,12, c1 ,name\r\n,ab,,,,,XYZ9,13,,Sine\r\n,,,12*,,,XYZ9,14,,DI.AC\r\n"
        ",,,,00#,,XYZ9,15,,ci\r\n,,,,,acme,XYZ9,16,,di.x\r\nAB,,,,,,XYZ9,17,,NAME\r\n"
        ",5,0,,,,XYZ9,1,,SINE\r\n,7,,,,,XYZ9,1,,SINE\r\n"}});
  p.LoadConfiguration();
  std::string shown;
  for (const auto& [file, table] : p.form.dictAgentMapping) {
    shown += file + " { " + ShowAgents(table) + " } ";
  }
  EXPECT_EQ(shown,
            "SALES.CSV { SMITH: NAME:SMITH/AB/XYZ9/12/C1@2 | AB: SINE:/AB/XYZ9/13/@3; "
            "NAME:AB//XYZ9/17/@7 | 12*: DI.AC://XYZ9/14/@4 | 00#: CI://XYZ9/15/@5 | "
            "ACME: DI.X://XYZ9/16/@6 | 05: SINE:/05/XYZ9/1/@8 | 7: SINE:/7/XYZ9/1/@9 } ");
}

// Rows without identifier or destination PCC stop the start-up with a report in every log, a
// file and a box; an invalid prefix elsewhere is outranked. Alone, invalid prefixes stop it
// naming their files.
TEST(MappingTest, MissingValuesAndInvalidPrefixesStopTheStartUp) {
  const std::string report = "1) SALES.CSV" + std::string(20, ' ') + "SINE/NAME\r\n" +
                             "2) GROUPS.CSV" + std::string(20, ' ') + "DI.AC/EMAIL/\r\n";
  const std::string missing =
      "Ambervale has found missing values in Mapping file(s). The list below displays Mapping\r\n"
      "files and columns for which values are missing.\r\n\r\nFile Name" +
      std::string(38, ' ') + "Columns with missing values\r\n" + report +
      "\r\nPlease click ok to exit.";
  const auto error = [](const std::string& file, const std::string& detail) {
    return std::string(kStamp) + ". Error in " + file + " #####\r\n" + kStamp + ". " + file +
           " line " + detail + " #####\r\n";
  };
  const struct {
    std::vector<std::string> tasks;
    std::vector<std::pair<std::string, std::string>> files;
    std::string box;
    std::string debug;
  } kCases[] = {
      {{"ABC1,5,,SALES.CSV", "ABC1,6,,GROUPS.CSV"},
       {{"SALES.CSV", ",,1,,,,XYZ9,1,,SINE\r\n,AB,,,,,XYZ9,1,,SINE\r\nSMITH,,,,,,,2,,NAME\r\n"},
        {"GROUPS.CSV", ",AB,,,,,XYZ9,1,,DI.AC\r\n,AB,,,,,XYZ9,1,,EMAIL\r\n,AB,,,,,XYZ9,1,,\r\n"}},
       missing,
       error("SALES.CSV", "2: column \"AGENT SINE\" is empty, but the row is distributed by SINE") +
           kStamp +
           ". SALES.CSV line 2, column \"PREFIX AGENT SINE\": \"1\" must be \"0\" or empty "
           "#####\r\n" +
           error("SALES.CSV", "4: column \"DESTINATION PCC\" is empty") +
           error("GROUPS.CSV",
                 "2: column \"DI.AC\" is empty, but the row is distributed by DI.AC") +
           error("GROUPS.CSV",
                 "3: column \"DISTRIBUTED BY\": \"EMAIL\" is not one of SINE, NAME, DI.AC, CI, "
                 "DI.X") +
           error("GROUPS.CSV", "4: column \"DISTRIBUTED BY\" is empty") + kStamp + report +
           " #####\r\n"},
      {{"ABC1,5,,A.CSV", "ABC1,6,,B.CSV", "ABC1,7,,C.CSV", "ABC1,8,,D.CSV"},
       {{"A.CSV", ",5,1,,,,XYZ9,1,,SINE\r\n,6,X,,,,XYZ9,1,,SINE\r\n"},
        {"B.CSV", ",5,0,,,,XYZ9,1,,SINE\r\n"},
        {"C.CSV", ",AB,00,,,,XYZ9,1,,SINE\r\n"},
        {"D.CSV", ",AB,,,,,XYZ9,1,,SINE\r\n"}},
       "Invalid values for Prefix agent sine entered.\r\n\r\nPlease rectify the A.CSV/C.CSV "
       "file to continue.",
       ""},
  };
  for (const auto& c : kCases) {
    TestProgram p(false);
    p.WriteStartupFiles();
    Configure(p, c.tasks, c.files);
    EXPECT_TRUE(p.Load().has_value()) << c.box;
    ASSERT_FALSE(p.window.boxes().empty()) << c.box;
    EXPECT_EQ(p.window.boxes().back().text, c.box);
    EXPECT_EQ(p.dir.Read("tempMissMappingValue.log"), c.debug.empty() ? "" : c.box + "\r\n");
    EXPECT_NE(p.Log("debug_log_1.txt").find(c.debug), std::string::npos) << c.box;
  }
}

TEST(MappingTest, DuplicatesAcrossTheFilesOfOneSource) {
  TestProgram p;
  Configure(p, {"XYZ2,7,,C.CSV", "ABC1,5,,A.CSV", "ABC1,5,,B.CSV"},
            // "AB" + "CD12" and "ABC" + "D12" would read alike if the fields were simply joined;
            // the same row under another source is no duplicate.
            {{"C.CSV", ",AB,,,,,XYZ9,1,,SINE\r\n"},
             {"A.CSV", ",AB,,,,,CD12,1,,SINE\r\n,ABC,,,,,D12,1,,SINE\r\n,AB,,,,,XYZ9,1,2,SINE\r\n"},
             {"B.CSV", "EF,,,,,,XYZ9,3,,NAME\r\n,AB,,,,,XYZ9,12,,SINE\r\n"}});
  p.LoadConfiguration();
  EXPECT_EQ(CheckMappingDuplicates(p.form), "OK");

  p.dir.Write("B.CSV",
              std::string(kMappingHeader) + "EF,,,,,,XYZ9,3,,NAME\r\nAB,,,,,,CD12,1,,NAME\r\n");
  ASSERT_TRUE(LoadMappingFiles(p.form).ok());
  std::string problem;
  EXPECT_EQ(CheckMappingDuplicates(p.form, &problem),
            "Duplicated mapping entries are found towards pseudo ABC1 source queue 5.");
  EXPECT_EQ(problem,
            "B.CSV line 3 repeats A.CSV line 2 (identifier \"AB\", destination CD12/1) for source "
            "ABC1 queue 5");
}

}  // namespace
}  // namespace ambervale::testing

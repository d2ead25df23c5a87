#include "config/agent_lookup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/run_lookup.h"
#include "logs/logs.h"
#include "platform/classic_text.h"
#include "testing/test_program.h"

namespace ambervale {
namespace {

using ::testing::HasSubstr;

constexpr char kStamp[] = "2026/12/06 10:00:00 - ";

clsAgentQueue Row(std::string_view by, std::string_view value, std::string_view pcc = "XYZ9",
                  int16_t queue = 10, std::string_view category = "") {
  clsAgentQueue row;
  row.fldDistributedBy = std::string(by);
  const std::string v(value);
  if (EqualsNoCase(by, "SINE")) row.fldAgentSine = v;
  if (EqualsNoCase(by, "NAME")) row.fldAgentName = v;
  if (EqualsNoCase(by, "DI.AC")) row.fldDI_AC = v;
  if (EqualsNoCase(by, "CI")) row.fldCI = v;
  if (EqualsNoCase(by, "DI.X")) row.fldDI_X_QD = v;
  row.fldDestPCC = std::string(pcc);
  row.fldQueueNo = queue;
  row.fldCatagory = std::string(category);
  return row;
}

AgentTable Table(const std::vector<clsAgentQueue>& rows) {
  AgentTable table;
  int line = 2;
  for (clsAgentQueue row : rows) {
    row.line_number = line++;
    table.GetOrAdd(row.fldAgentId()).push_back(row);
  }
  return table;
}

TEST(FindAgentBySineTest, EqualIgnoringCaseAndOnlySineRows) {
  TestProgram p;
  const AgentTable table = Table({Row("SINE", "AB", "XYZ9", 10), Row("NAME", "AB"),
                                  Row("sine", "AB", "XYZ9", 11), Row("SINE", "ABC")});
  AgentCollection found;
  std::string missing = "untouched";
  RunLookupLog log(p.form);
  findAgentBySine(log, "ab", table, found, missing);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].fldQueueNo, 10);
  EXPECT_EQ(found[1].fldQueueNo, 11);
  EXPECT_EQ(missing, "untouched");
  EXPECT_EQ(p.RunLog(), std::string(kStamp) + "AGENT Sine is matched: HOST Resopnse- ab\r\n" +
                            kStamp + "AGENT Sine is matched: HOST Resopnse- ab\r\n");
}

TEST(FindAgentByNameTest, NameMustStandAsAWord) {
  const struct {
    const char* text;
    bool accepted;
  } kCases[] = {
      {"XSMITH/JOHN MR", false},      // a letter before it
      {"SMITH/JOHN MR", true},        // at the start
      {"1.SMITH JOHN", true},         // full stop and blank around it
      {"SMITHSON/ANN SMITH", false},  // only the first occurrence is tried
      {"ABC SMITHS", true},           // one character after the name is not examined
      {"XSMITH", true},               // the name ends the text
      {"smith/john mr", true},        // found ignoring case
      {"xsmith/john", true},          // only A-Z count as letters around it
      {"JONES/ANN", false},
      {"", false},
  };
  for (const auto& c : kCases) {
    TestProgram p;
    const AgentTable table = Table({Row("NAME", "SMITH")});
    AgentCollection found;
    std::string missing;
    std::string match = c.text;
    RunLookupLog log(p.form);
    findAgentByName(log, match, table, found, missing);
    EXPECT_EQ(found.size(), c.accepted ? 1u : 0u) << c.text;
    EXPECT_EQ(missing, c.text) << c.text;
    EXPECT_EQ(p.RunLog(),
              c.accepted
                  ? std::string(kStamp) + "AGENT name is matched: HOST Resopnse- " + c.text + "\r\n"
                  : "")
        << c.text;
  }
}

TEST(FindAgentByNameTest, CleansTheMatchAndReportsItPerNameRow) {
  TestProgram p;
  const AgentTable table =
      Table({Row("NAME", "SMITH"), Row("SINE", "SM"), Row("NAME", "JONES"), Row("Name", "JOHN")});
  AgentCollection found;
  std::string missing;
  std::string match = "<SOM/>1.1SMITH/JOHN<TABSTOP/>MR<CARRIAGE_RETURN/>";
  RunLookupLog log(p.form);
  findAgentByName(log, match, table, found, missing);
  EXPECT_EQ(match, "1.1SMITH/JOHN\xB7MR");
  EXPECT_EQ(missing, match);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].fldAgentName, "SMITH");
  EXPECT_EQ(found[1].fldAgentName, "JOHN");

  // Without NAME rows nothing is read or cleaned.
  const AgentTable sines = Table({Row("SINE", "SM")});
  std::string raw = "<SOM/>SMITH";
  std::string untouched = "kept";
  findAgentByName(log, raw, sines, found, untouched);
  EXPECT_EQ(raw, "<SOM/>SMITH");
  EXPECT_EQ(untouched, "kept");
}

TEST(FindAgentByNameTest, TextIsCleanedOncePerNameRow) {
  // Removing the inner mark leaves another mark: a second NAME row cleans that one too.
  for (const int name_rows : {1, 2}) {
    TestProgram p;
    std::vector<clsAgentQueue> rows = {Row("SINE", "AB"), Row("NAME", "SMITH")};
    if (name_rows == 2) rows.push_back(Row("NAME", "JONES"));
    AgentCollection found;
    std::string missing;
    std::string match = "<SO<SOM/>M/>SMITH/JOHN";
    RunLookupLog log(p.form);
    findAgentByName(log, match, Table(rows), found, missing);
    EXPECT_EQ(match, name_rows == 1 ? "<SOM/>SMITH/JOHN" : "SMITH/JOHN") << name_rows;
    EXPECT_EQ(missing, match) << name_rows;
    EXPECT_EQ(found.size(), 1u) << name_rows;
  }
}

TEST(ReadQueueCatFromMappingTest, FirstRowOfEachIdentifierAgainstTheFailQueue) {
  const struct {
    int16_t queue;
    const char* category;
    const char* fail_queue;
    bool found;
  } kCases[] = {{99, "C1", "99/C1", true},   {99, "", "99/C1", false}, {99, "", "99", true},
                {99, " C1 ", "99/C1", true}, {99, "C1", "99", false},  {9, "", "99", false}};
  for (const auto& c : kCases) {
    TestProgram p;
    const AgentTable table = Table({Row("SINE", "AB", "XYZ9", c.queue, c.category)});
    EXPECT_EQ(ReadQueueCatFromMapping(p.form, table, c.fail_queue), c.found)
        << c.queue << "/" << c.category << " vs " << c.fail_queue;
  }
  TestProgram p;
  // Only the first row of an identifier is looked at.
  const AgentTable table = Table({Row("SINE", "AB", "XYZ9", 10), Row("SINE", "AB", "XYZ9", 99),
                                  Row("SINE", "CD", "QQQ1", 11)});
  EXPECT_FALSE(ReadQueueCatFromMapping(p.form, table, "99"));
  EXPECT_EQ(p.form.ToAgent.fldAgentSine, "CD");
}

TEST(ReadPCCFromMappingTest, DistinctPccsByPlainSubstringTest) {
  TestProgram p;
  const AgentTable table =
      Table({Row("SINE", "A1", "ABC1"), Row("SINE", "A2", " XYZ9 "), Row("SINE", "A3", "ABC1"),
             Row("SINE", "A4", "AB"), Row("SINE", "A5", "abc1")});
  int16_t diff = 5;
  EXPECT_EQ(ReadPCCFromMapping(p.form, table, diff), "ABC1,XYZ9,abc1");
  EXPECT_EQ(diff, 8);  // not reset: the caller sets the start value
  EXPECT_EQ(p.form.ToAgent.fldAgentSine, "A5");
  EXPECT_EQ(ReadPCCFromMapping(p.form, AgentTable()), "");

  int16_t full = 32767;
  EXPECT_EQ(ReadPCCFromMapping(p.form, table, full), "ABC1,XYZ9,abc1");
  EXPECT_EQ(full, 32767);
}

TEST(GetAgentIDTest, IsTheSettingsValue) {
  TestProgram p;
  p.form.strAgentID = "1234";
  EXPECT_EQ(GetAgentID(p.form), "1234");
}

// A terminal whose every answer is a full screen of DI remarks, however often it is paged: a
// host that misbehaves in a way the simulator cannot.
class EndlessDiTerminal : public Terminal, public TerminalFactory {
 public:
  Status SendEntry(std::string_view text) override {
    entries_.emplace_back(text);
    ++page_;
    return Status::Ok();
  }
  std::optional<int16_t> GetLineCount() override { return 10; }
  std::optional<std::string> GetLine(int16_t index) override {
    std::string number = std::to_string(index + 1) + ".";
    number.resize(5, ' ');
    return number + "AC ACCT-" + std::to_string(page_ * 100 + index) + "<CARRIAGE_RETURN/>";
  }
  std::unique_ptr<Terminal> Create(Status*) override { return std::make_unique<Forward>(*this); }
  const std::vector<std::string>& entries() const { return entries_; }

 private:
  struct Forward : Terminal {
    explicit Forward(EndlessDiTerminal& to) : to_(to) {}
    Status SendEntry(std::string_view text) override { return to_.SendEntry(text); }
    std::optional<int16_t> GetLineCount() override { return to_.GetLineCount(); }
    std::optional<std::string> GetLine(int16_t index) override { return to_.GetLine(index); }
    EndlessDiTerminal& to_;
  };
  std::vector<std::string> entries_;
  int page_ = 0;
};

TEST(FindAgentByDiTest, PagingStopsAfterFiftyMrEntriesPerRow) {
  TestProgram p;
  EndlessDiTerminal terminal;
  HostLayer host(p.form, p.alerts, terminal);
  (void)host.ConnectHost();
  host.sendTECommand("*DI");
  const AgentTable table = Table({Row("DI.AC", "NEVER"), Row("DI.AC", "71*"), Row("CI", "X")});
  AgentCollection found;
  std::string missing;
  RunLookupLog log(p.form);
  HostDisplay screen(host);
  findAgentByDIAC(log, screen, table, found, missing, "SALES.CSV");

  // Row 1 pages 50 times and gives up; row 2 starts on the screen as it stands (page 52 after
  // the sign-on and *DI entries) and finds 71xx on its 19th page.
  size_t mr = 0;
  for (const std::string& e : terminal.entries()) mr += e == "<FORMAT>MR</FORMAT>";
  EXPECT_EQ(mr, 50u + 19u);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].fldDI_AC, "71*");
  EXPECT_EQ(missing, "7100");
  EXPECT_THAT(p.Log("debug_log_1.txt"),
              HasSubstr("##### 2026/12/06 10:00:00. The DI display was still going on after 50 MR "
                        "entries for the DI.AC row \"NEVER\" of SALES.CSV line 2; the row is taken "
                        "as not matched #####\r\n"));
  EXPECT_THAT(p.RunLog(),
              HasSubstr("DI.AC field is matched: HOST Resopnse- 1.   AC ACCT-7100\r\n"));

  AgentCollection dix;
  std::string dix_missing = "none";
  HostDisplay dix_screen(host);
  findAgentByDIX(log, dix_screen, Table({Row("DI.X", "ANY")}), dix, dix_missing);
  EXPECT_TRUE(dix.empty());
  EXPECT_EQ(dix_missing, "none");
  EXPECT_THAT(p.Log("debug_log_1.txt"),
              HasSubstr("for the DI.X row \"ANY\" of the mapping file line 2; the row is taken as "
                        "not matched #####"));
}

}  // namespace
}  // namespace ambervale

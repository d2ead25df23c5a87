// The agent lookups on a display and a log of the test's own: the rows each finds, what it reports
// and what it leaves as the PNR's value. The run's own display and log are tested on the simulated
// host (PnrStepTest in queue_task_test).

#include "config/agent_lookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "testing/program_files.h"

namespace ambervale::testing {
namespace {

// Pages of cleaned lines, as the lookups read them; a page whose last line holds text is followed
// by the next one.
class PagedDisplay : public LookupDisplay {
 public:
  explicit PagedDisplay(std::vector<std::vector<std::string>> pages) : pages_(std::move(pages)) {}
  std::string FirstLine() override { return pages_[0][0]; }
  int count() override { return static_cast<int>(pages_[shown_].size()); }
  const std::string& line(int j) override { return pages_[shown_][static_cast<size_t>(j)]; }
  void Page() override {
    shown_ = std::min(shown_ + 1, pages_.size() - 1);
    ++turned;
  }
  int turned = 0;

 private:
  std::vector<std::vector<std::string>> pages_;
  size_t shown_ = 0;
};

struct RecordingLog : LookupLog {
  void Matched(std::string_view kind, std::string_view text) override {
    lines += std::string(kind) + ": " + std::string(text) + "|";
  }
  void PagingGaveUp(std::string_view kind, const clsAgentQueue& row,
                    std::string_view file) override {
    lines +=
        "gave up " + std::string(kind) + " " + row.fldAgentId() + " " + std::string(file) + "|";
  }
  std::string lines;
};

// A DI remark line: its number, padded to five characters, then the text.
std::string Remark(int n, std::string_view text) {
  std::string line = std::to_string(n) + ".";
  line.resize(5, ' ');
  return line + std::string(text);
}

// `count` full pages of ten remarks, remark 10p+j+1 reading `text(p, j)`, then the `last` page.
std::vector<std::vector<std::string>> FullPages(int count,
                                                const std::function<std::string(int, int)>& text,
                                                std::vector<std::string> last = {}) {
  std::vector<std::vector<std::string>> pages(static_cast<size_t>(count));
  for (int p = 0; p < count; ++p) {
    for (int j = 0; j < 10; ++j) pages[p].push_back(Remark(10 * p + j + 1, text(p, j)));
  }
  if (!last.empty()) pages.push_back(std::move(last));
  return pages;
}

std::string Found(const AgentCollection& found) {
  std::string out;
  for (const clsAgentQueue& row : found) out += std::to_string(row.fldQueueNo) + ",";
  return out;
}

// "by value queue ..." as the rows of a table.
AgentTable Rows(const std::string& spec) {
  std::vector<clsAgentQueue> rows;
  std::istringstream in(spec);
  std::string by, value;
  for (int16_t queue; in >> by >> value >> queue;) rows.push_back(AgentRow(by, value, "", queue));
  return AgentRows(rows);
}

// Each case: the lookup, the display's pages and the table's rows; then the queues found, the PNR's
// value ("none": left alone), the pages turned and the log.
TEST(DisplayLookupTest, FindsTheRowsTheDisplayHolds) {
  enum Lookup { kSine, kDiAc, kDiX, kCi };
  const auto accounts = [](int p, int j) {
    return "AC ACCT-" + std::to_string(p) + "/" + std::to_string(j);
  };
  const struct {
    const char* name;
    Lookup lookup;
    std::vector<std::vector<std::string>> pages;
    std::string rows;
    std::string want;
  } kCases[] = {
      // The sine is the display's first line.
      {"SINE equal ignoring case, only SINE rows",
       kSine,
       {{"ab"}},
       "SINE AB 10 NAME AB 1 sine AB 11 SINE ABC 2",
       "10,11, none 0 AGENT Sine: ab|AGENT Sine: ab|"},
      {"DI.AC values are patterns, only DI.AC rows take part",
       kDiAc,
       {{Remark(1, "AC ACCT-129"), Remark(2, "X/QD-ACME"), ""}},
       "DI.AC 12 1 di.ac 12* 2 DI.AC 129 3 DI.X 129 4 CI 129 5",
       "2,3, 129 0 DI.AC field: 1.   AC ACCT-129|DI.AC field: 1.   AC ACCT-129|"},
      // The first row pages to the third screen; the second reads the screen as it stands, the last
      // one, so remark 3 is never seen again.
      {"paged until found, the next row from there", kDiAc,
       FullPages(2, [](int p, int j) { return p == 0 && j == 2 ? "AC ACCT-111" : "REMARK"; },
                 {Remark(21, "AC ACCT-555"), ""}),
       "DI.AC 555 1 DI.AC 111 2", "1, 555 2 DI.AC field: 21.  AC ACCT-555|"},
      // A display still full after 50 pages is taken as not holding the row's value.
      {"found on the 50th page", kDiAc, FullPages(60, accounts), "DI.AC 50/* 1",
       "1, 50/0 50 DI.AC field: 501. AC ACCT-50/0|"},
      {"not on the 51st", kDiAc, FullPages(60, accounts), "DI.AC 51/* 1",
       " 50/9 50 gave up DI.AC 51/* SALES.CSV|"},
      {"only the first DI.X line can match",
       kDiX,
       {{Remark(1, "AC ACCT-129"), Remark(2, "X/QD-OTHER"), Remark(3, "X/QD-ACME"),
         Remark(4, "XAQDACME"), ""}},
       "DI.X ACME 1 Di.X OTH* 2",
       "2, OTHER 0 DI.AC field: 2.   X/QD-OTHER|"},
      {"CI only at the start of a line",
       kCi,
       {{"CUST-00123", ""}},
       "CI 00123 1 ci 001* 2 CI 123 3 CI 0123 4",
       "1,2, 00123 0 CI. field: CUST-00123|CI. field: CUST-00123|"},
  };
  for (const auto& c : kCases) {
    PagedDisplay display(c.pages);
    RecordingLog log;
    AgentCollection found;
    std::string missing = "none";
    const AgentTable table = Rows(c.rows);
    if (c.lookup == kSine) findAgentBySine(log, display.FirstLine(), table, found, missing);
    if (c.lookup == kDiAc) findAgentByDIAC(log, display, table, found, missing, "SALES.CSV");
    if (c.lookup == kDiX) findAgentByDIX(log, display, table, found, missing, "SALES.CSV");
    if (c.lookup == kCi) findAgentByCI(log, display, table, found, missing);
    EXPECT_EQ(Found(found) + " " + missing + " " + std::to_string(display.turned) + " " + log.lines,
              c.want)
        << c.name;
  }
}

// Each case: the name display's first line, with its markup; then the text cleaned (also the PNR's
// value) and the queues found among SMITH (1), JOHN (2), MR (3) and SMITHSON (4).
TEST(NameLookupTest, NamesStandAsWordsInTheCleanedText) {
  const struct {
    const char* text;
    const char* want;
  } kCases[] = {
      {"<SOM/>1.1SMITH/JOHN<TABSTOP/>MR<CARRIAGE_RETURN/>", "1.1SMITH/JOHN\xB7MR: 1,2,3,"},
      {"XSMITH/JOHN", "XSMITH/JOHN: 2,"},                // a letter before the name
      {"SMITHSON/ANN SMITH", "SMITHSON/ANN SMITH: 4,"},  // its first occurrence only
      {"ABC SMITHS", "ABC SMITHS: 1,"},                  // one character after it is not looked at
      {"XSMITH", "XSMITH: 1,"},                          // the name ends the text
      // Removing the inner mark leaves another: each NAME row cleans the text once more, four times
      // here, and SMITH's row looks at the text cleaned once.
      {"<SO<SO<SO<SO<SOM/>M/>M/>M/>M/>SMITH", "<SOM/>SMITH: 1,"},
  };
  for (const auto& c : kCases) {
    RecordingLog log;
    AgentCollection found;
    std::string missing = "none";
    std::string match = c.text;
    findAgentByName(log, match,
                    Rows("SINE SM 9 NAME SMITH 1 NAME JOHN 2 NAME MR 3 Name SMITHSON 4"), found,
                    missing);
    EXPECT_EQ(match + ": " + Found(found), c.want) << c.text;
    EXPECT_EQ(missing, match) << c.text;
  }
}

}  // namespace
}  // namespace ambervale::testing

// The simulated host's screens and faults, entry by entry: transcripts of what each entry
// answers and what it changes in the world (see SimWorld::Play for the notation), the rules
// that span many screens, the terminal over the host and how it reads a request.

#include <gtest/gtest.h>

#include <regex>

#include "platform/files.h"
#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/sim_world.h"

namespace ambervale::sim {
namespace {

using ambervale::testing::BasicWithFaults;
using ambervale::testing::Cr;
using ambervale::testing::ScenarioWithQueueOf;
using ambervale::testing::SimWorld;
using Lines = std::vector<std::string>;

// sim/testdata/transcripts: each entry's answer and what it changes, world by world.
TEST(ScreensTest, Transcripts) {
  for (const char* file :
       {"sessions.txt", "queue_mode.txt", "pnr.txt", "queue_displays.txt", "faults.txt"}) {
    ambervale::testing::PlayTranscriptFile(file);
  }
}

// The locators an unticketed list shows (blank separated), else its first line.
std::string Listed(const Lines& answer) {
  std::string out;
  static const std::regex kLocator(R"(^ \d{3} \*(\w{6})<TABSTOP/>)");
  std::smatch m;
  for (const std::string& line : answer) {
    if (std::regex_search(line, m, kLocator)) out += (out.empty() ? "" : " ") + m[1].str();
  }
  return out.empty() && !answer.empty() ? answer[0] : out;
}

TEST(ScreensTest, UnticketedSelections) {
  SimWorld w;
  w.Enter("SON/1234");
  const std::string kNone = "NO MATCHING BOOKING FILES<CARRIAGE_RETURN/>";
  const std::string kFormat = "FORMAT<CARRIAGE_RETURN/>";
  const struct {
    const char* entry;
    std::string listed;
  } kCases[] = {
      {"LD/ABC1/UTK/06DEC*09DEC-D", "DEF456"},
      {"LD/ABC1/UTK/04DEC*04DEC-D", "ABC123"},
      {"LD/ABC1/UTK/05DEC*06DEC-D", kNone},  // GHI789 is due today but ticketed
      {"LD/ABC1/UTK/BA/01DEC*09DEC-D", "DEF456"},
      {"LD/ABC1/UTK/AA/01DEC*09DEC-D", "ABC123 DEF456"},
      {"LD/ABC1/UTK/ZZ.BA/01DEC*09DEC-D", "DEF456"},
      {"LD/ABC1/UTK/aa/01DEC*09DEC-D", kNone},  // airline codes compare exactly
      {"LD/DEF3/UTK/01JAN*31DEC-D", kNone},     // JKL012 has no ticketing line
      {"LD/NOPE/UTK/01DEC*09DEC-D", kNone},
      {"LD/XYZ2/UTK/01DEC*09DEC-D", kNone},
      {"LD/ABC1/UTK/01DEC-D", kFormat},
      {"LD/ABC1/UTK//01DEC*09DEC-D", kFormat},
      {"LD/ABC1/UTK/AA..BA/01DEC*09DEC-D", kFormat},
      {"LD/ABC1/UTK/AA./01DEC*09DEC-D", kFormat},
      {"LD/ABC1/XXX/01DEC*09DEC-D", kFormat},
      {"LD/ABC1/UTK/01DEC*09DEC", kFormat},
      {"LD/ABC1/UTK/32DEC*09DEC-D", kFormat},
      {"LD/ABC1/UTK/01DEC*9DEC-D", kFormat},
      {"LD/ABC1/UTK/29FEB*01MAR-D", kFormat},
      {"LD/ABC1", kFormat},
      {"LD/ABC1/UTK/01DEC*09DEC-Q", kFormat},
  };
  for (const auto& c : kCases) EXPECT_EQ(Listed(w.Enter(c.entry)), c.listed) << c.entry;
}

// Dates are read as the nearest date of that day and month; the range may cross the new year.
TEST(ScreensTest, UnticketedDatesNearestYearAndYearCrossing) {
  SimWorld w(R"({"agent_ids": ["1"], "signed_in": true, "pccs": {"P1": {}},
      "pnrs": [
        {"locator": "DEC280", "owner_pcc": "P1", "tau": "TKTG-TAU/XX28DEC"},
        {"locator": "DEC300", "owner_pcc": "P1", "tau": "TKTG-TAU/XX30DEC*A"},
        {"locator": "JAN020", "owner_pcc": "P1", "tau": "TKTG-TAU/XX02JAN"},
        {"locator": "JUN150", "owner_pcc": "P1", "tau": "TKTG-TAU/XX15JUN"},
        {"locator": "FEB290", "owner_pcc": "P1", "tau": "TKTG-TAU/XX29FEB"},
        {"locator": "BADDAT", "owner_pcc": "P1", "tau": "TKTG-TAU/XX31JUN"},
        {"locator": "NOTAU0", "owner_pcc": "P1", "tau": "TKTG-TKT ISSUED"}]})");
  const std::string kNone = "NO MATCHING BOOKING FILES<CARRIAGE_RETURN/>";
  const struct {
    int year, month, day;
    const char* range;
    std::string listed;
  } kCases[] = {
      {2026, 12, 30, "28DEC*03JAN", "DEC280 DEC300 JAN020"},
      {2026, 12, 30, "02JAN*05JAN", "JAN020"},
      {2027, 1, 2, "30DEC*03JAN", "DEC300 JAN020"},
      {2027, 1, 2, "01JAN*31DEC", "JAN020 JUN150"},  // 28DEC, 30DEC are last year's
      {2027, 1, 2, "01DEC*31DEC", "DEC280 DEC300"},  // from 01DEC read as last year
      {2026, 12, 20, "01JUN*30JUN", "JUN150"},       // both read as next year's
      {2026, 12, 6, "01JUN*30JUN", kNone},           // 01JUN is nearer next year, 15JUN this year
      {2026, 12, 6, "01FEB*01MAR", kNone},           // no 29FEB near 2026
      {2027, 12, 6, "01FEB*01MAR", "FEB290"},
  };
  for (const auto& c : kCases) {
    w.env().SetNow(c.year, c.month, c.day);
    EXPECT_EQ(Listed(w.Enter(std::string("LD/P1/UTK/") + c.range + "-D")), c.listed)
        << c.year << "-" << c.month << "-" << c.day << " " << c.range;
  }
}

// A signed-in world with PNR RMK001 on ABC1/1 holding `remarks` DI remarks "REMARK n".
std::string ScenarioWithRemarks(int remarks) {
  std::string di;
  for (int n = 1; n <= remarks; ++n)
    di += (n > 1 ? ", \"REMARK " : "\"REMARK ") + std::to_string(n) + "\"";
  return R"({"agent_ids": ["1"], "signed_in": true, "pccs": {"ABC1": {}}, "pnrs": [{"locator":
      "RMK001", "owner_pcc": "ABC1", "di": [)" +
         di + R"(]}], "queues": {"ABC1/1": ["RMK001"]}})";
}

TEST(ScreensTest, TenRemarksAPageAndAnEmptyLineAtTheEnd) {
  const struct {
    int remarks;
    std::vector<size_t> page_sizes;
  } kCases[] = {{1, {2}}, {9, {10}}, {10, {11}}, {11, {10, 2}}, {23, {10, 10, 4}}};
  for (const auto& c : kCases) {
    SimWorld w(ScenarioWithRemarks(c.remarks));
    w.Enter("Q/ABC1/1");
    std::vector<Lines> pages = {w.Enter("*DI")};
    while (pages.size() < c.page_sizes.size()) pages.push_back(w.Enter("MR"));
    std::vector<size_t> sizes;
    for (const Lines& page : pages) sizes.push_back(page.size());
    EXPECT_EQ(sizes, c.page_sizes) << c.remarks << " remarks";
    EXPECT_EQ(pages.back().back(), "<CARRIAGE_RETURN/>") << c.remarks;
    EXPECT_EQ(w.Enter("MR")[0], "NOTHING TO SCROLL<CARRIAGE_RETURN/>") << c.remarks;
    if (c.remarks >= 10) {
      EXPECT_EQ(pages[0][9], "10.  REMARK 10<CARRIAGE_RETURN/>");
    }
  }
}

// The program's listing walk: the first-100 offer, then every block with MR until the next
// offer or the end. Every PNR is seen once, in queue order, 15 a page.
TEST(ScreensTest, TheProgramsListingWalkSeesEveryPnrOnce) {
  const auto offered = [](const Lines& screen, const std::string& offer) -> std::string {
    for (const std::string& line : screen) {
      if (line.starts_with(offer)) return line.substr(25, line.find('<') - 25);
    }
    return "";
  };
  for (const int size : {1, 15, 16, 31, 100, 101, 115, 200, 201, 333}) {
    SimWorld w(ScenarioWithQueueOf(size));
    std::vector<std::string> seen;
    std::string next = "QLD/ABC1/12/TS";
    for (int guard = 0; !next.empty() && guard < 100; ++guard) {
      Lines screen = w.Enter(next);
      next = offered(screen, "TO SEE THE FIRST 100 BFS");
      if (!next.empty()) continue;
      for (;;) {
        int on_page = 0;
        for (const std::string& line : screen) {
          if (line.size() > 11 && line[0] == ' ' && line[5] == 'P') {
            seen.push_back(line.substr(5, 6));
            ++on_page;
          }
        }
        next = offered(screen, "TO SEE THE NEXT 100 BFS");
        const bool end = screen.back() == "END OF DISPLAY<CARRIAGE_RETURN/>";
        if (end || !next.empty()) break;
        EXPECT_EQ(on_page, 15) << size << " PNRs, after " << seen.back();
        screen = w.Enter("MR");
      }
    }
    ASSERT_EQ(seen.size(), static_cast<size_t>(size)) << size;
    for (int n = 1; n <= size; ++n) {
      const std::string digits = std::to_string(n);
      EXPECT_EQ(seen[static_cast<size_t>(n - 1)],
                "P" + std::string(5 - digits.size(), '0') + digits);
    }
  }
}

TEST(FaultsTest, DroppedConnectionFailsTheTerminalsEntry) {
  SimWorld w(BasicWithFaults(R"({"drop_connection_after": 1})"));
  SimTerminalFactory factory(w.host());
  Status status;
  std::unique_ptr<Terminal> terminal = factory.Create(&status);
  const Status sent = terminal->SendEntry("<FORMAT>OP/W*</FORMAT>");
  EXPECT_EQ(sent.message(), "the simulated host dropped the connection");
  EXPECT_EQ(terminal->GetLineCount(), std::nullopt);
  EXPECT_EQ(terminal->GetLine(0), std::nullopt);
  ASSERT_TRUE(terminal->SendEntry("<FORMAT>OP/W*</FORMAT>").ok());
  EXPECT_EQ(terminal->GetLineCount(), 1);
}

TEST(SimTerminalTest, EveryTerminalAttachesToTheOneSession) {
  SimWorld w;
  SimTerminalFactory factory(w.host());
  Status status;
  std::unique_ptr<Terminal> first = factory.Create(&status);
  ASSERT_TRUE(first->SendEntry("<FORMAT>SON/1234</FORMAT>").ok());
  std::unique_ptr<Terminal> second = factory.Create(&status);
  EXPECT_EQ(w.world().entries, 1);  // creating a terminal changes nothing
  ASSERT_TRUE(second->SendEntry("<FORMAT>OP/W*</FORMAT>").ok());
  EXPECT_EQ(second->GetLineCount(), 1);
  EXPECT_EQ(second->GetLine(0), Cr(" *VANTORA* AGENT 1234 SIGNED IN"));
  EXPECT_EQ(second->GetLine(1), std::nullopt);
  EXPECT_EQ(second->GetLine(-1), std::nullopt);
  EXPECT_EQ(first->GetLine(0), Cr("SIGN ON COMPLETE"));  // each keeps its last answer
}

TEST(SimHostTest, ReadsRequestsAndPaths) {
  const struct {
    const char* request;
    const char* entry;
  } kCases[] = {
      {"<FORMAT>OP/W*</FORMAT>", "OP/W*"},
      {"<FORMAT>NP.A&amp;B</FORMAT>", "NP.A&B"},
      {"<FORMAT>NP.A&amp;amp;B</FORMAT>", "NP.A&amp;B"},
      {"<FORMAT>*R  \r\n</FORMAT>", "*R"},
      {"<FORMAT>*R</FORMAT>\r\n", "*R"},
      {"<FORMAT>NP.A\r\nB</FORMAT>", "NP.A\r\nB"},
      {"*R \n", "*R"},
      {"NP.A&amp;B", "NP.A&amp;B"},  // a bare entry is taken as it is
      {"<FORMAT>*R", "<FORMAT>*R"},
      {"<FORMAT></FORMAT>", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(EntryOfRequest(c.request), c.entry) << c.request;
  EXPECT_EQ(PathFromFolder("/opt/ambervale", "host/state.json"), "/opt/ambervale/host/state.json");
  EXPECT_EQ(PathFromFolder("/opt/ambervale", "/var/state.json"), "/var/state.json");
  EXPECT_EQ(PathFromFolder("/opt/ambervale", ""), "");
}

TEST(SimHostTest, TheDateMayBeFixed) {
  FakeEnv env;
  HostOptions options;
  options.today = std::chrono::sys_days(std::chrono::year(2025) / 3 / 1);
  Status status;
  std::unique_ptr<SimHost> host =
      SimHost::Open(ambervale::testing::BasicScenarioPath(), "", env, &status, options);
  ASSERT_TRUE(host) << status.message();
  host->Enter("SON/1234");
  EXPECT_EQ(host->Enter("Q/ABC1/12").lines[0], Cr("ABC123/XY ABC1 01MAR"));
  EXPECT_EQ(host->Enter("*TD").lines[0], Cr("TKTG-TAU/XX27FEB*NOTE"));  // {today-2}
}

}  // namespace
}  // namespace ambervale::sim

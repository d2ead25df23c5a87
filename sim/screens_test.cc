// The simulated host's screens, entry by entry, as transcripts: what each entry answers and
// what it changes in the world (see SimWorld::Play for the notation).

#include <gtest/gtest.h>

#include <regex>

#include "testing/sim_world.h"

namespace ambervale::sim {
namespace {

using ambervale::testing::BasicScenario;
using ambervale::testing::BasicWith;
using ambervale::testing::ScenarioWithQueueOf;
using ambervale::testing::SimWorld;
using Lines = std::vector<std::string>;

TEST(ScreensTest, Transcripts) {
  const struct {
    const char* rule;
    std::string scenario;
    std::string transcript;
  } kCases[] = {
      {"sign-on, emulation and unknown entries", BasicScenario(), R"(> OP/W*
SIGN IN
> QCB/ABC1/12
SIGN IN
> MR
SIGN IN
> SON/9999
INVALID AGENT ID
= signed_in: no
> SON/5678
SIGN ON COMPLETE
> OP/W*
 *VANTORA* AGENT 5678 SIGNED IN
> SEM/SU
OK
> SEM/XYZ2/AG
NOT AUTHORISED - XYZ2
> SEM/NOPE/AG
NOT AUTHORISED - NOPE
# PCC codes are case-sensitive
> SEM/abc1/AG
NOT AUTHORISED - abc1
> SEM/ABC1
FORMAT
> SEM/ABC1/XX
FORMAT
> sem/su
FORMAT
# emulation defaults to allowed; a refused emulation and SU keep the emulated PCC
> SEM/DEF3/AG
PROCEED
~ SEM/XYZ2/AG
~ SEM/SU
= emulated: DEF3
> QPB*5
QPBQUEUE 005 DEF3          |
> SEM/ABC1/AG
PROCEED
> Q/ABC1/12
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

# a sign-on while signed in keeps the session
> SON/1234
SIGN ON COMPLETE
> OP/W*
 *VANTORA* AGENT 5678 SIGNED IN
> *R
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

= emulated: ABC1
> XX
FORMAT
> *RX
FORMAT
> op/w*
FORMAT
> QCX/ABC1/1
FORMAT
> IRR
FORMAT
> 
FORMAT
> Q
FORMAT
)"},
      {"queue mode: entering, banner, ignoring, ending", BasicScenario(), R"(~ SON/1234
> *R
NO B.F.
> QX+I
NOT IN QUEUE MODE
> I
IGD
> QEB/ABC1/5
NOT IN QUEUE MODE
> MR
NOTHING TO SCROLL

> QPB*12
QPBQUEUE 012               |
> Q/ABC1/100
INVALID QUEUE - ABC1/100
> Q/NOPE/1
INVALID QUEUE - NOPE/1
> Q/ABC1/X
FORMAT
> Q/ABC1
FORMAT
> Q/ABC1/12*C9
QUEUE EMPTY
> Q/ABC1/012*C1
GHI789/   ABC1 06DEC
1.1BROWN/TOM MR

> I
GHI789/   ABC1 06DEC
1.1BROWN/TOM MR

> QPB*7
QPBQUEUE 007 ABC1          |
> QPB*X
FORMAT
> QPB*100
FORMAT
> QPB*007
QPBQUEUE 007 ABC1          |
> Q/ABC1/0
QUEUE EMPTY
> QX+I
NOT IN QUEUE MODE
> Q/ABC1/12
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

> NP.REMARK
*
> Q/DEF3/7
FINISH OR IGNORE
> I
DEF456/QR ABC1 06DEC
1.1JONES/ANN MRS

= queue ABC1/12: DEF456 ABC123
= notepad ABC123:
> I
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

= queue ABC1/12: ABC123 DEF456
# ER needs a received-from text only for changes, and clears it
> ER
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

> R.AGENT
*
> ER
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

= received ABC123:
> NP.FIRST
*
> ER
NEED RECEIVED FROM
> R.AGENT
*
> ER
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

= notepad ABC123: FIRST
= received ABC123: AGENT
> NP.SECOND
*
> ER
NEED RECEIVED FROM
> T.T@AU/10DEC
*
> R.AGENT
*
> IR
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

> *TD
TKTG-TAU/XX04DEC*NOTE

> ER
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

= notepad ABC123: FIRST
> NP.REMARK
*
> QX+I
QUEUE MODE EXITED
> *R
NO B.F.
= notepad ABC123: FIRST
)"},
      {"placing PNRs", BasicScenario(), R"(~ SON/1234
~ Q/ABC1/12
> QEB/ABC1/12+ABC1/12
ON QUEUE- ABC123 ABC1/12+ABC1/12
QUEUE 012 ABC1          |
DEF456/QR ABC1 06DEC
1.1JONES/ANN MRS

= queue ABC1/12: DEF456 ABC123
~ I
> NP.MOVED BY TEST
*
> QEB/
FORMAT
> QEB/ABC1/5+
FORMAT
# the received-from text is checked before the destinations
> QEB/NOPE/5
NEED RECEIVED FROM
> R.AGENT
*
> QEB/ABC1/5+NOPE/3
INVALID QUEUE - NOPE/3
> QEB/ABC1/100
INVALID QUEUE - ABC1/100
> QEB/ABC1/X+NOPE/1
INVALID QUEUE - ABC1/X
> QEB/ABC1
INVALID QUEUE - ABC1
> QEB/ABC1/5/6
INVALID QUEUE - ABC1/5/6
> QEB/ABC1/5*
INVALID QUEUE - ABC1/5*
= queue ABC1/12: ABC123 DEF456
> Q/ABC1/12
FINISH OR IGNORE
> QEB/ABC1/5*C2+DEF3/7
ON QUEUE- ABC123 ABC1/5*C2+DEF3/7
QUEUE 012 ABC1          |
DEF456/QR ABC1 06DEC
1.1JONES/ANN MRS

= queue ABC1/12: DEF456
= queue ABC1/5*C2: ABC123
= queue DEF3/7: JKL012 ABC123
= notepad ABC123: MOVED BY TEST
= received ABC123: AGENT
# the received-from text went with the move
> NP.AGAIN
*
> QEB/ABC1/5
NEED RECEIVED FROM
~ QX+I
~ SEM/ABC1/AG
~ Q/ABC1/12*C1
> QEB/ABC1/3
ON QUEUE- GHI789 ABC1/3
QUEUE 012 ABC1          |
QUEUE EMPTY
> *R
QUEUE EMPTY
> IR
QUEUE EMPTY
> ER
QUEUE EMPTY
> *P
NO B.F.
> *DI
NO B.F.
> NP.X
NO B.F.
> R.X
NO B.F.
> T.T@AU/01JAN
NO B.F.
> QEB/ABC1/4
NO B.F.
# an unticketed listing queues PNRs onto the emptied queue: I shows them
> LD/ABC1/UTK/01DEC*08DEC-Q/ABC1/12*C1
002 BOOKING FILES ON QUEUE 12*C1
> I
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

~ QX+I
> Q/ABC1/12*C1
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

)"},
      {"PNR displays and changes", BasicScenario(),
       std::string("~ SON/1234\n~ Q/ABC1/12\n") + R"(> *P
1.1SMITH/JOHN MR
> *DI
1.   AC ACCT-129
2.   X/QD-ACME

> *CI
CUST-00123

> *TD
TKTG-TAU/XX04DEC*NOTE

> NP.)" + std::string(70, 'A') +
           "\n*\n> NP." + std::string(71, 'A') + R"(
FORMAT
> NP.
FORMAT
> R.
FORMAT
> T.T@AU/06DEC*NEW
*
> *TD
TKTG-TAU/XX06DEC*NEW

= tau ABC123: TKTG-TAU/XX04DEC*NOTE
> T.T@AU/
FORMAT
> T.T@AU/6DEC
FORMAT
> T.T@AU/06dec
FORMAT
> T.T@AU/32DEC
FORMAT
> T.T@AU/31APR
FORMAT
> T.T@AU/AADEC
FORMAT
> T.T@AU/06XYZ*X
FORMAT
> T.T@AU/29FEB
*
> T.T@AU/07DEC
*
> R.J SMITH
*
> ER
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

= tau ABC123: TKTG-TAU/XX07DEC
= notepad ABC123: )" +
           std::string(70, 'A') + R"(
~ QX+I
~ Q/DEF3/7
> *P
1.1M)" + "\xDC" +
           "LLER/ANNA\xB7" + R"(MS
> *DI

> *CI
NO CI DATA

> *TD
TKTG-TKT ISSUED

> T.T@AU/06DEC
FORMAT
)"},
      {"queue counts", BasicScenario(), R"(~ SON/1234
> QCB/ABC1/12
QC ABC1 BF/Q012....2%
> QCB/ABC1/012
QC ABC1 BF/Q012....2%
> QCB/ABC1/0
QC ABC1 BF/URG ....0%
> QCB/ABC1/1
QC ABC1 BF/GEN ....0%
> QCB/DEF3/7
QC DEF3 BF/Q007....1%
> QCB/ABC1/99
QC ABC1 BF/Q099....0%
> QCB/ABC1/100
INVALID QUEUE - ABC1/100
> QCB/NOPE/12
INVALID QUEUE - NOPE/12
> QCB/ABC1/X1
FORMAT
> QCB/ABC1/
FORMAT
> QCB/ABC1/12*C1
FORMAT
> QCB/ABC1
FORMAT
> QCT/ABC1/12*C1
Q012/C1.......1%
> QCT/ABC1/5*C9
Q005/C9.......0%
> QCT/ABC1/12
FORMAT
> QCT/XYZ9/12*C1
INVALID QUEUE - XYZ9/12*C1
> QCT/ABC1/120*C1
INVALID QUEUE - ABC1/120*C1
)"},
      {"queue lists", BasicScenario(), R"(~ SON/1234
> QLD/ABC1/0/TS
NO BOOKING FILES ON QUEUE
> QLD/ABC1/33/TS
NO BOOKING FILES ON QUEUE
> QLD/ABC1/12/TS
QUEUE 12 ABC1   SURNAME        DATE
 001 ABC123 SMITH/JOHN
 002 DEF456 JONES/ANN
END OF DISPLAY
> QLD/ABC1/12*C1/TS
QUEUE 12*C1 ABC1   SURNAME        DATE
 001 GHI789 BROWN/TOM
END OF DISPLAY
> MR
NOTHING TO SCROLL

> QLD/ABC1/12
FORMAT
> QLD/ABC1/12/XX
FORMAT
> QLD/ABC1/AB/TS
FORMAT
> QLD/ABC1/12/TS/0
FORMAT
> QLD/ABC1/12/TS/X
FORMAT
> QLD/NOPE/12/TS
INVALID QUEUE - NOPE/12
> QLD/ABC1/100/TS
INVALID QUEUE - ABC1/100
)"},
      {"list pages survive other entries, a new listing replaces them", ScenarioWithQueueOf(20),
       R"(~ QLD/ABC1/12/TS
~ QCB/ABC1/12
> MR
 016 P00016 NAME16/TEST
 017 P00017 NAME17/TEST
 018 P00018 NAME18/TEST
 019 P00019 NAME19/TEST
 020 P00020 NAME20/TEST
END OF DISPLAY
~ QLD/ABC1/12/TS
~ QLD/ABC1/3/TS
> MR
NOTHING TO SCROLL

)"},
      {"blocks of a hundred", ScenarioWithQueueOf(250), R"(> QLD/ABC1/12/TS
TO SEE THE FIRST 100 BFS QLD/ABC1/12/TS/1<TABSTOP/>
~ QLD/ABC1/12/TS/1
~ MR
~ MR
~ MR
~ MR
~ MR
> MR
 091 P00091 NAME91/TEST
 092 P00092 NAME92/TEST
 093 P00093 NAME93/TEST
 094 P00094 NAME94/TEST
 095 P00095 NAME95/TEST
 096 P00096 NAME96/TEST
 097 P00097 NAME97/TEST
 098 P00098 NAME98/TEST
 099 P00099 NAME99/TEST
 100 P00100 NAME100/TEST
TO SEE THE NEXT 100 BFS  QLD/ABC1/12/TS/101<TABSTOP/>
> QLD/ABC1/12/TS/251
END OF DISPLAY
)"},
      {"unticketed lists that queue", BasicScenario(), R"(~ SON/1234
> LD/ABC1/UTK/01DEC*09DEC-D
B.F. COUNT 002
 001 *ABC123<TABSTOP/>SMITH/JOHN
 002 *DEF456<TABSTOP/>JONES/ANN
END OF DISPLAY
> LD/ABC1/UTK/01DEC*09DEC-Q/ABC1/50
002 BOOKING FILES ON QUEUE 50
= queue ABC1/50: ABC123 DEF456
# the listed PNRs are queued once
> LD/ABC1/UTK/01DEC*09DEC-Q/ABC1/050
002 BOOKING FILES ON QUEUE 050
= queue ABC1/50: ABC123 DEF456
= queue ABC1/12: ABC123 DEF456
> LD/ABC1/UTK/AA/04DEC*05DEC-Q/ABC1/50*C3
001 BOOKING FILES ON QUEUE 50*C3
= queue ABC1/50*C3: ABC123
> LD/ABC1/UTK/ZZ/01DEC*09DEC-Q/ABC1/50
NO MATCHING BOOKING FILES
# a bad queue is checked first
> LD/ABC1/UTK/32DEC*09DEC-Q/NOPE/5
INVALID QUEUE - NOPE/5
> LD/ABC1/UTK/01DEC*09DEC-Q/ABC1/100
INVALID QUEUE - ABC1/100
> LD/ABC1/UTK/01DEC*09DEC-Q/ABC1
INVALID QUEUE - ABC1
)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.rule);
    SimWorld w(c.scenario);
    w.Play(c.transcript);
  }
}

TEST(ScreensTest, SignedInAnswerIsTheScenarios) {
  const struct {
    const char* answer;
    const char* lines;
  } kCases[] = {
      {"normal", " *VANTORA* AGENT 1234 SIGNED IN\n"},
      {"sister", "*ORSINE* AGENT 1234 SIGNED IN\n"},
      {"duty_code", "DUTY CODE NOT AUTHORISED FOR TERMINAL - VANTORA\n"},
      {"none", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.answer);
    SimWorld w(BasicWith("\"normal\"", std::string("\"") + c.answer + "\""));
    w.Play(std::string("~ SON/1234\n> OP/W*\n") + c.lines + "> SON/1234\nSIGN ON COMPLETE\n");
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
    if (c.remarks >= 10) EXPECT_EQ(pages[0][9], "10.  REMARK 10<CARRIAGE_RETURN/>");
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

}  // namespace
}  // namespace ambervale::sim

#include <gtest/gtest.h>

#include "platform/classic_text.h"
#include "sim/sim_test_util.h"

namespace ambervale::sim {
namespace {

using testing::Cr;
using testing::ScreenText;
using testing::SimWorld;
using Lines = std::vector<std::string>;

// The locators the program's status scan finds: a "*" with a field mark seven characters on.
Lines LocatorsMarked(const Lines& lines) {
  const std::string s = ScreenText(lines);
  Lines found;
  int start = 1;
  while (start <= static_cast<int>(s.size()) - 1) {
    const int p = InStr(s, "*", start);
    if (p == 0) break;
    if (Mid(s, p + 7, 1) == "\xB7") {
      found.push_back(Mid(s, p + 1, 6));
      start = p + 8;
    } else {
      start = p + 3;
    }
  }
  return found;
}

class UnticketedListTest : public ::testing::Test {
 protected:
  void SetUp() override { w.SignOn(); }
  SimWorld w;
};

TEST_F(UnticketedListTest, ListsUnticketedPnrsDueInTheRange) {
  const Lines answer = w.Enter("LD/ABC1/UTK/01DEC*09DEC-D");
  EXPECT_EQ(answer, Cr({"B.F. COUNT 002", " 001 *ABC123<TABSTOP/>SMITH/JOHN",
                        " 002 *DEF456<TABSTOP/>JONES/ANN", "END OF DISPLAY"}));
  EXPECT_EQ(LocatorsMarked(answer), (Lines{"ABC123", "DEF456"}));
}

TEST_F(UnticketedListTest, Selections) {
  const struct {
    const char* entry;
    Lines locators;  // empty: "NO MATCHING BOOKING FILES"
  } kCases[] = {
      {"LD/ABC1/UTK/06DEC*09DEC-D", {"DEF456"}},
      {"LD/ABC1/UTK/04DEC*04DEC-D", {"ABC123"}},
      {"LD/ABC1/UTK/05DEC*06DEC-D", {}},  // GHI789 is due today but ticketed
      {"LD/ABC1/UTK/BA/01DEC*09DEC-D", {"DEF456"}},
      {"LD/ABC1/UTK/AA/01DEC*09DEC-D", {"ABC123", "DEF456"}},
      {"LD/ABC1/UTK/ZZ.BA/01DEC*09DEC-D", {"DEF456"}},
      {"LD/ABC1/UTK/aa/01DEC*09DEC-D", {}},  // airline codes compare exactly
      {"LD/DEF3/UTK/01JAN*31DEC-D", {}},     // JKL012 has no ticketing line
      {"LD/NOPE/UTK/01DEC*09DEC-D", {}},
      {"LD/XYZ2/UTK/01DEC*09DEC-D", {}},
  };
  for (const auto& c : kCases) {
    const Lines answer = w.Enter(c.entry);
    if (c.locators.empty()) {
      EXPECT_EQ(answer, Cr({"NO MATCHING BOOKING FILES"})) << c.entry;
    } else {
      EXPECT_EQ(LocatorsMarked(answer), c.locators) << c.entry;
    }
  }
}

TEST_F(UnticketedListTest, MalformedEntriesAnswerFormat) {
  for (const char* entry :
       {"LD/ABC1/UTK/01DEC-D", "LD/ABC1/UTK//01DEC*09DEC-D", "LD/ABC1/UTK/AA..BA/01DEC*09DEC-D",
        "LD/ABC1/UTK/AA./01DEC*09DEC-D", "LD/ABC1/XXX/01DEC*09DEC-D", "LD/ABC1/UTK/01DEC*09DEC",
        "LD/ABC1/UTK/32DEC*09DEC-D", "LD/ABC1/UTK/01DEC*9DEC-D", "LD/ABC1/UTK/29FEB*01MAR-D",
        "LD/ABC1", "LD/ABC1/UTK/01DEC*09DEC-Q"}) {
    EXPECT_EQ(w.Enter(entry), Cr({"FORMAT"})) << entry;
  }
}

TEST_F(UnticketedListTest, QueuesTheListedPnrsOnce) {
  EXPECT_EQ(w.Enter("LD/ABC1/UTK/01DEC*09DEC-Q/ABC1/50"), Cr({"002 BOOKING FILES ON QUEUE 50"}));
  EXPECT_EQ(*w.world().queues.Find("ABC1/50"), (Lines{"ABC123", "DEF456"}));
  EXPECT_EQ(w.Enter("LD/ABC1/UTK/01DEC*09DEC-Q/ABC1/050"), Cr({"002 BOOKING FILES ON QUEUE 050"}));
  EXPECT_EQ(*w.world().queues.Find("ABC1/50"), (Lines{"ABC123", "DEF456"}));
  EXPECT_EQ(*w.world().queues.Find("ABC1/12"), (Lines{"ABC123", "DEF456"}));
  EXPECT_EQ(w.Enter("LD/ABC1/UTK/AA/04DEC*05DEC-Q/ABC1/50*C3"),
            Cr({"001 BOOKING FILES ON QUEUE 50*C3"}));
  EXPECT_EQ(*w.world().queues.Find("ABC1/50*C3"), Lines{"ABC123"});
  EXPECT_EQ(w.Enter("LD/ABC1/UTK/ZZ/01DEC*09DEC-Q/ABC1/50"), Cr({"NO MATCHING BOOKING FILES"}));
}

TEST_F(UnticketedListTest, BadQueueIsCheckedFirst) {
  EXPECT_EQ(w.Enter("LD/ABC1/UTK/32DEC*09DEC-Q/NOPE/5"), Cr({"INVALID QUEUE - NOPE/5"}));
  EXPECT_EQ(w.Enter("LD/ABC1/UTK/01DEC*09DEC-Q/ABC1/100"), Cr({"INVALID QUEUE - ABC1/100"}));
  EXPECT_EQ(w.Enter("LD/ABC1/UTK/01DEC*09DEC-Q/ABC1"), Cr({"INVALID QUEUE - ABC1"}));
}

// Dates are read as the nearest date of that day and month; the range may cross the new year.
TEST(UnticketedDatesTest, NearestYearAndYearCrossing) {
  SimWorld w(R"({"agent_ids": ["1"], "signed_in": true, "pccs": {"P1": {}},
      "pnrs": [
        {"locator": "DEC280", "owner_pcc": "P1", "tau": "TKTG-TAU/XX28DEC"},
        {"locator": "DEC300", "owner_pcc": "P1", "tau": "TKTG-TAU/XX30DEC*A"},
        {"locator": "JAN020", "owner_pcc": "P1", "tau": "TKTG-TAU/XX02JAN"},
        {"locator": "JUN150", "owner_pcc": "P1", "tau": "TKTG-TAU/XX15JUN"},
        {"locator": "FEB290", "owner_pcc": "P1", "tau": "TKTG-TAU/XX29FEB"},
        {"locator": "BADDAT", "owner_pcc": "P1", "tau": "TKTG-TAU/XX31JUN"},
        {"locator": "NOTAU0", "owner_pcc": "P1", "tau": "TKTG-TKT ISSUED"}]})");
  const struct {
    int year, month, day;
    const char* range;
    Lines locators;
  } kCases[] = {
      {2026, 12, 30, "28DEC*03JAN", {"DEC280", "DEC300", "JAN020"}},
      {2026, 12, 30, "02JAN*05JAN", {"JAN020"}},
      {2027, 1, 2, "30DEC*03JAN", {"DEC300", "JAN020"}},
      {2027, 1, 2, "01JAN*31DEC", {"JAN020", "JUN150"}},  // 28DEC, 30DEC are last year's
      {2027, 1, 2, "01DEC*31DEC", {"DEC280", "DEC300"}},  // from 01DEC read as last year
      {2026, 12, 20, "01JUN*30JUN", {"JUN150"}},          // both read as next year's
      {2026, 12, 6, "01JUN*30JUN", {}},          // 01JUN is nearer next year, 15JUN this year
      {2026, 12, 6, "01FEB*01MAR", {}},          // no 29FEB near 2026
      {2027, 12, 6, "01FEB*01MAR", {"FEB290"}},  // 2028 has one
  };
  for (const auto& c : kCases) {
    w.env().SetNow(c.year, c.month, c.day);
    const std::string entry = std::string("LD/P1/UTK/") + c.range + "-D";
    const Lines answer = w.Enter(entry);
    if (c.locators.empty()) {
      EXPECT_EQ(answer, Cr({"NO MATCHING BOOKING FILES"})) << entry;
    } else {
      EXPECT_EQ(LocatorsMarked(answer), c.locators)
          << c.year << "-" << c.month << "-" << c.day << " " << entry;
    }
  }
}

}  // namespace
}  // namespace ambervale::sim

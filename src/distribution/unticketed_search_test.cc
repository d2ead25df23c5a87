#include "distribution/unticketed_search.h"

#include <gtest/gtest.h>

namespace ambervale {
namespace {

CivilTime Day(int year, int month, int day) { return CivilTime{year, month, day, 10, 0, 0, 0}; }

TEST(UnticketedDateRangeTest, TodayAndTodayPlusDays) {
  const struct {
    CivilTime today;
    int days;
    const char* from;
    const char* to;
  } kCases[] = {
      {Day(2026, 12, 5), 3, "05DEC", "08DEC"},
      {Day(2026, 12, 5), 0, "05DEC", "05DEC"},
      {Day(2026, 12, 30), 5, "30DEC", "04JAN"},  // into the next year
      {Day(2028, 2, 27), 2, "27FEB", "29FEB"},   // a leap year
      {Day(2027, 2, 27), 2, "27FEB", "01MAR"},
      {Day(2026, 1, 3), -5, "03JAN", "29DEC"},  // no search is made, but nothing breaks
      {Day(2026, 12, 6), 32767, "06DEC", "23AUG"},
  };
  for (const auto& c : kCases) {
    const SearchRange range = UnticketedDateRange(c.today, c.days);
    EXPECT_EQ(range.from, c.from) << c.today.year << "-" << c.today.month << "-" << c.today.day
                                  << " +" << c.days;
    EXPECT_EQ(range.to, c.to) << c.today.year << "-" << c.today.month << "-" << c.today.day << " +"
                              << c.days;
  }
}

TEST(BuildUnticketedSearchTest, EntriesForEveryKindOfTask) {
  const SearchRange range{"05DEC", "08DEC"};
  const struct {
    const char* airline;
    int days;
    const char* listing;  // nullptr: no search
    const char* queuing;
  } kCases[] = {
      {"ALL", 3, "LD/ABC1/UTK/05DEC*08DEC-D", "LD/ABC1/UTK/05DEC*08DEC-Q/ABC1/41"},
      {" all ", 1, "LD/ABC1/UTK/05DEC*08DEC-D", "LD/ABC1/UTK/05DEC*08DEC-Q/ABC1/41"},
      {"AA", 1, "LD/ABC1/UTK/AA/05DEC*08DEC-D", "LD/ABC1/UTK/AA/05DEC*08DEC-Q/ABC1/41"},
      {"AA,BB", 1, "LD/ABC1/UTK/AA.BB/05DEC*08DEC-D", "LD/ABC1/UTK/AA.BB/05DEC*08DEC-Q/ABC1/41"},
      {"AA,BA,LH,AF,KL", 9, "LD/ABC1/UTK/AA.BA.LH.AF.KL/05DEC*08DEC-D",
       "LD/ABC1/UTK/AA.BA.LH.AF.KL/05DEC*08DEC-Q/ABC1/41"},
      {"ALL", 0, nullptr, nullptr},
      {"AA", 0, nullptr, nullptr},
      {"ALL", -2, nullptr, nullptr},
      {"", 3, nullptr, nullptr},
      {"   ", 3, nullptr, nullptr},
  };
  for (const auto& c : kCases) {
    const auto search = BuildUnticketedSearch("ABC1", c.airline, c.days, range, "41");
    if (c.listing == nullptr) {
      EXPECT_FALSE(search.has_value()) << "'" << c.airline << "' " << c.days;
      continue;
    }
    ASSERT_TRUE(search.has_value()) << "'" << c.airline << "' " << c.days;
    EXPECT_EQ(search->listing, c.listing) << "'" << c.airline << "' " << c.days;
    EXPECT_EQ(search->queuing, c.queuing) << "'" << c.airline << "' " << c.days;
  }
}

TEST(BuildUnticketedSearchTest, QueueWithCategory) {
  const auto search = BuildUnticketedSearch("P1", "ALL", 2, {"06DEC", "08DEC"}, "41*C1");
  ASSERT_TRUE(search.has_value());
  EXPECT_EQ(search->queuing, "LD/P1/UTK/06DEC*08DEC-Q/P1/41*C1");
}

}  // namespace
}  // namespace ambervale

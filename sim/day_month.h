#pragma once

// Day-month dates as the host writes them ("06DEC": two-digit day, three-letter month) and
// the "{today}", "{today+N}", "{today-N}" placeholders of scenario files.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "platform/env.h"

namespace ambervale::sim {

struct DayMonth {
  int day = 1;    // 1-31
  int month = 1;  // 1-12
};

// The calendar day of a local time.
std::chrono::sys_days DayOf(const CivilTime& t);

// "06DEC".
std::string FormatDayMonth(std::chrono::sys_days date);

// "2026-12-06".
std::string FormatIsoDate(std::chrono::sys_days date);
// Reads exactly "YYYY-MM-DD" naming a real day; nullopt otherwise.
std::optional<std::chrono::sys_days> ParseIsoDate(std::string_view text);

// Reads exactly five characters "DDMON" (upper-case month); nullopt when the text is not
// such a date or names a day that no year has (31APR). 29FEB is accepted.
std::optional<DayMonth> ParseDayMonth(std::string_view text);

// The date of that day and month in last, this or next year of `today` nearest to it (ties to
// the earlier); nullopt when none of the three years has that day (29FEB).
std::optional<std::chrono::sys_days> NearestDate(DayMonth dm, std::chrono::sys_days today);

// The first date of that day and month on or after `from`.
std::optional<std::chrono::sys_days> FirstOnOrAfter(DayMonth dm, std::chrono::sys_days from);

// `text` with every "{today}", "{today+N}" and "{today-N}" replaced by the day-month date of
// today +/- N days. nullopt (and `bad` set to the offending placeholder) when a "{today" is
// not one of those forms.
std::optional<std::string> ExpandTodayPlaceholders(std::string_view text,
                                                   std::chrono::sys_days today, std::string* bad);

}  // namespace ambervale::sim

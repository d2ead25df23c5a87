#pragma once

// The host's day-and-month date form: two-digit day followed by the three-letter English
// month abbreviation, for example 05DEC.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/env.h"

namespace ambervale {

// "JAN" .. "DEC" for 1 .. 12; empty text for any other number.
[[nodiscard]] std::string_view MonthAbbreviation(int month);

// Day with two digits, then the month's abbreviation: 5 December gives "05DEC".
[[nodiscard]] std::string FormatDayMonth(const CivilTime& date);
[[nodiscard]] std::string FormatDayMonth(int month, int day);

// The number 1-12 of an abbreviation written exactly as in the table ("DEC" -> 12); 0 for
// any other text ("Dec", " DEC").
[[nodiscard]] int16_t MonthNumber(std::string_view abbreviation);

// A yyyymmdd text to its day-and-month form: "20121205" -> "05DEC". A blank text gives an
// empty text; a month outside 1-12 gives the day alone ("20121305" -> "05"). The day is the
// last two characters of the text. nullopt when characters 5 and 6 do not form a whole number
// (a text too short to hold them included): the caller treats that as an error.
[[nodiscard]] std::optional<std::string> ConvertDateToDayMonth(std::string_view text);

}  // namespace ambervale

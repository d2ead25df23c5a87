#include "platform/day_month.h"

#include <array>
#include <cstdio>

#include "platform/classic_text.h"

namespace ambervale {
namespace {

constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                      "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

}  // namespace

std::string_view MonthAbbreviation(int month) {
  if (month < 1 || month > 12) return {};
  return kMonths[static_cast<size_t>(month - 1)];
}

std::string FormatDayMonth(const CivilTime& date) { return FormatDayMonth(date.month, date.day); }

std::string FormatDayMonth(int month, int day) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", day);
  return std::string(buf) + std::string(MonthAbbreviation(month));
}

int16_t MonthNumber(std::string_view abbreviation) {
  for (size_t i = 0; i < kMonths.size(); ++i) {
    if (kMonths[i] == abbreviation) return static_cast<int16_t>(i + 1);
  }
  return 0;
}

std::optional<std::string> ConvertDateToDayMonth(std::string_view text) {
  if (Trim(text).empty()) return std::string();
  const std::optional<int16_t> month = ToInt16(Mid(text, 5, 2));
  if (!month) return std::nullopt;
  return Right(text, 2) + std::string(MonthAbbreviation(*month));
}

}  // namespace ambervale

#include "sim/day_month.h"

#include <array>
#include <cstdio>

#include "platform/day_month.h"

namespace ambervale::sim {
namespace {

using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr std::array<int, 12> kLongestMonth = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr std::string_view kPlaceholder = "{today";
constexpr int kMaxOffsetDigits = 6;

std::optional<sys_days> InYear(DayMonth dm, int year) {
  const year_month_day ymd{std::chrono::year{year},
                           std::chrono::month{static_cast<unsigned>(dm.month)},
                           std::chrono::day{static_cast<unsigned>(dm.day)}};
  if (!ymd.ok()) return std::nullopt;
  return sys_days(ymd);
}

int YearOf(sys_days d) { return static_cast<int>(year_month_day(d).year()); }

// Reads "}" or "+N}" / "-N}" after "{today"; the day offset and the length read.
std::optional<std::pair<int, size_t>> ReadOffset(std::string_view rest) {
  if (!rest.empty() && rest[0] == '}') return std::make_pair(0, size_t{1});
  if (rest.size() < 3 || (rest[0] != '+' && rest[0] != '-')) return std::nullopt;
  size_t i = 1;
  int value = 0;
  while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') {
    if (static_cast<int>(i) > kMaxOffsetDigits) return std::nullopt;
    value = value * 10 + (rest[i] - '0');
    ++i;
  }
  if (i == 1 || i >= rest.size() || rest[i] != '}') return std::nullopt;
  return std::make_pair(rest[0] == '-' ? -value : value, i + 1);
}

}  // namespace

sys_days DayOf(const CivilTime& t) {
  return sys_days(year_month_day{std::chrono::year{t.year},
                                 std::chrono::month{static_cast<unsigned>(t.month)},
                                 std::chrono::day{static_cast<unsigned>(t.day)}});
}

std::string FormatDayMonth(sys_days date) {
  const year_month_day ymd(date);
  return ambervale::FormatDayMonth(static_cast<int>(static_cast<unsigned>(ymd.month())),
                                   static_cast<int>(static_cast<unsigned>(ymd.day())));
}

std::string FormatIsoDate(sys_days date) {
  const year_month_day ymd(date);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return text;
}

std::optional<sys_days> ParseIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  int fields[3] = {0, 0, 0};
  const size_t starts[3] = {0, 5, 8};
  const size_t lengths[3] = {4, 2, 2};
  for (int f = 0; f < 3; ++f) {
    for (size_t i = starts[f]; i < starts[f] + lengths[f]; ++i) {
      if (text[i] < '0' || text[i] > '9') return std::nullopt;
      fields[f] = fields[f] * 10 + (text[i] - '0');
    }
  }
  const year_month_day ymd{std::chrono::year{fields[0]},
                           std::chrono::month{static_cast<unsigned>(fields[1])},
                           std::chrono::day{static_cast<unsigned>(fields[2])}};
  if (!ymd.ok()) return std::nullopt;
  return sys_days(ymd);
}

std::optional<DayMonth> ParseDayMonth(std::string_view text) {
  if (text.size() != 5) return std::nullopt;
  if (text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9') return std::nullopt;
  const int day = (text[0] - '0') * 10 + (text[1] - '0');
  const int month = ambervale::MonthNumber(text.substr(2));
  if (month == 0 || day < 1 || day > kLongestMonth[static_cast<size_t>(month - 1)]) {
    return std::nullopt;
  }
  return DayMonth{day, month};
}

std::optional<sys_days> NearestDate(DayMonth dm, sys_days today) {
  std::optional<sys_days> best;
  const int year = YearOf(today);
  for (int y = year - 1; y <= year + 1; ++y) {
    const std::optional<sys_days> candidate = InYear(dm, y);
    if (!candidate) continue;
    // Candidates come in rising order, so a tie keeps the earlier one.
    if (!best || std::chrono::abs(*candidate - today) < std::chrono::abs(*best - today)) {
      best = candidate;
    }
  }
  return best;
}

std::optional<sys_days> FirstOnOrAfter(DayMonth dm, sys_days from) {
  // 29FEB comes round at least once in eight years.
  for (int y = YearOf(from); y <= YearOf(from) + 8; ++y) {
    const std::optional<sys_days> candidate = InYear(dm, y);
    if (candidate && *candidate >= from) return candidate;
  }
  return std::nullopt;
}

std::optional<std::string> ExpandTodayPlaceholders(std::string_view text, sys_days today,
                                                   std::string* bad) {
  std::string out;
  size_t pos = 0;
  while (true) {
    const size_t found = text.find(kPlaceholder, pos);
    if (found == std::string_view::npos) break;
    out.append(text.substr(pos, found - pos));
    const std::string_view rest = text.substr(found + kPlaceholder.size());
    const auto offset = ReadOffset(rest);
    if (!offset) {
      const size_t close = text.find('}', found);
      *bad = std::string(text.substr(
          found, close == std::string_view::npos ? std::string_view::npos : close - found + 1));
      return std::nullopt;
    }
    out += FormatDayMonth(today + std::chrono::days(offset->first));
    pos = found + kPlaceholder.size() + offset->second;
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace ambervale::sim

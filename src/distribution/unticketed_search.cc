#include "distribution/unticketed_search.h"

#include <chrono>
#include <cstdio>

#include "platform/classic_text.h"
#include "platform/day_month.h"

namespace ambervale {
namespace {

// `date` moved by `days` whole days, written "YYYYMMDD".
std::string YyyyMmDdAfter(const CivilTime& date, int days) {
  using namespace std::chrono;
  const sys_days start = year(date.year) / month(static_cast<unsigned>(date.month)) /
                         day(static_cast<unsigned>(date.day));
  const year_month_day moved(start + std::chrono::days(days));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%02u%02u", static_cast<int>(moved.year()),
                static_cast<unsigned>(moved.month()), static_cast<unsigned>(moved.day()));
  return buf;
}

}  // namespace

SearchRange UnticketedDateRange(const CivilTime& today, int days) {
  return {ConvertDateToDayMonth(YyyyMmDdAfter(today, 0)).value_or(""),
          ConvertDateToDayMonth(YyyyMmDdAfter(today, days)).value_or("")};
}

std::optional<UnticketedSearch> BuildUnticketedSearch(std::string_view pcc,
                                                      std::string_view airline, int days,
                                                      const SearchRange& range,
                                                      std::string_view to_queue) {
  if (days < 1 || Trim(airline).empty()) return std::nullopt;
  std::string head = "LD/" + std::string(pcc) + "/UTK/";
  if (UCase(Trim(airline)) != "ALL") head += Replace(airline, ",", ".") + "/";
  head += range.from + "*" + range.to;
  return UnticketedSearch{head + "-D",
                          head + "-Q/" + std::string(pcc) + "/" + std::string(to_queue)};
}

}  // namespace ambervale

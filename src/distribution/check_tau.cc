#include "distribution/check_tau.h"

#include <chrono>

#include "host/busy_retry.h"
#include "logs/logs.h"
#include "platform/classic_text.h"
#include "platform/day_month.h"

namespace ambervale {
namespace {

constexpr std::string_view kTauMark = "TKTG-TAU/";

// Days since 1970-01-01 of a valid civil date.
int64_t DayNumber(int year, int month, int day) {
  using namespace std::chrono;
  return sys_days(std::chrono::year(year) / std::chrono::month(static_cast<unsigned>(month)) /
                  std::chrono::day(static_cast<unsigned>(day)))
      .time_since_epoch()
      .count();
}

std::chrono::year_month_day FromDayNumber(int64_t n) {
  return std::chrono::year_month_day(std::chrono::sys_days(std::chrono::days(n)));
}

// The day of `month` in `year` as a date; a day the month does not have rolls over into the
// next month, as date arithmetic does (29 February in a common year is 1 March).
int64_t RolledDayNumber(int year, int month, int day) {
  return DayNumber(year, month, 1) + day - 1;
}

bool IsDayOf(int year, int month, int day) {
  using namespace std::chrono;
  return day >= 1 && std::chrono::year_month_day(std::chrono::year(year) /
                                                 std::chrono::month(static_cast<unsigned>(month)) /
                                                 std::chrono::day(static_cast<unsigned>(day)))
                         .ok();
}

std::string WithoutLineBreaks(std::string_view text) {
  return Replace(Replace(text, "\r", ""), "\n", "");
}

}  // namespace

std::optional<std::string> DueTauTail(const CivilTime& today, int period_days,
                                      std::string_view tau_line) {
  const int mark = InStrNoCase(tau_line, kTauMark);
  if (mark == 0) return std::nullopt;
  // The "/" that ends the mark: a "/" in the tail (a remark such as W/ AA) does not move the
  // date's place.
  const int s = mark + static_cast<int>(kTauMark.size()) - 1;
  const std::string day_text = Mid(tau_line, s + 3, 2);
  const int month = MonthNumber(Mid(tau_line, s + 5, 3));
  if (day_text.size() != 2 || day_text[0] < '0' || day_text[0] > '9' || day_text[1] < '0' ||
      day_text[1] > '9' || month == 0) {
    return std::nullopt;
  }
  const int day = (day_text[0] - '0') * 10 + (day_text[1] - '0');
  if (!IsDayOf(today.year, month, day)) return std::nullopt;

  const int64_t now = DayNumber(today.year, today.month, today.day);
  const std::chrono::year_month_day back = FromDayNumber(now - period_days);
  const int64_t limit = RolledDayNumber(today.year, static_cast<int>(unsigned(back.month())),
                                        static_cast<int>(unsigned(back.day())));
  const int64_t tau = DayNumber(today.year, month, day);
  const bool due = limit <= now ? (limit <= tau && tau < now) : (tau >= limit || tau < now);
  if (!due) return std::nullopt;

  const int star = InStr(tau_line, "*");
  return star == 0 ? std::string() : WithoutLineBreaks(Mid(tau_line, star));
}

std::optional<std::string> DueTauEntry(frmMain& form, std::string& line0, std::string& line1) {
  FormatResponseText(&line0);
  FormatResponseText(&line1);
  const CivilTime today = form.env().LocalNow();
  const int period = ToInt16(form.strTAUDate).value_or(0);
  const std::string* tau_line = nullptr;
  if (ContainsNoCase(line0, kTauMark)) {
    tau_line = &line0;
  } else if (ContainsNoCase(line1, kTauMark)) {
    tau_line = &line1;
  } else {
    return std::nullopt;
  }
  const std::optional<std::string> tail = DueTauTail(today, period, *tau_line);
  if (!tail) return std::nullopt;
  return "T.T@AU/" + FormatDayMonth(today) + *tail;
}

ProgramEnd CheckTAU(frmMain& form, HostLayer& host, std::string& line0, std::string& line1,
                    bool& changed) {
  changed = false;
  const std::optional<std::string> entry = DueTauEntry(form, line0, line1);
  if (!entry) return ProgramEnd::GoOn();
  if (ProgramEnd end = SendEntry(host, *entry)) return end;
  changed = true;
  return ProgramEnd::GoOn();
}

ProgramEnd ShowTicketingRefresh(frmMain& form, HostLayer& host, std::optional<std::string>* entry) {
  entry->reset();
  if (ProgramEnd end = SendEntry(host, "*TD")) return end;
  std::string line0 = host.GetResponseLine(0);
  std::string line1 = host.GetResponseLineCount() >= 2 ? host.GetResponseLine(1) : "";
  if (Trim(line0).empty() || Trim(line1).empty()) {
    if (line0.empty()) return ProgramEnd::GoOn();
    line1.clear();
  }
  *entry = DueTauEntry(form, line0, line1);
  return ProgramEnd::GoOn();
}

ProgramEnd RefreshTicketingDate(frmMain& form, HostLayer& host, std::string_view rloc,
                                bool* changed) {
  *changed = false;
  std::optional<std::string> entry;
  if (ProgramEnd end = ShowTicketingRefresh(form, host, &entry)) return end;
  if (!entry) return ProgramEnd::GoOn();
  if (ProgramEnd end = SendEntry(host, *entry)) return end;
  *changed = true;
  form.AddActionLog(std::string(rloc) + " changes T field.", kRunLogPrefix, true);
  form.logs().WriteActionLogFile(FormatDateTime(form.env().LocalNow()) + " - " + std::string(rloc) +
                                 " changes T fields.");
  return ProgramEnd::GoOn();
}

}  // namespace ambervale

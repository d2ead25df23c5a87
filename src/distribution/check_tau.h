#pragma once

// The TAU refresh: a ticketing arrangement ("TKTG-TAU/" + two characters + a day-month date
// such as 07MAR, then an optional "*" tail) that fell due within the last [TAU] DATE days is
// moved to today with "T.T@AU/" + today + tail. Used by the move of a PNR and by the move to
// the Fail Queue when [TAU] TAUCHECK is on.

#include <optional>
#include <string>
#include <string_view>

#include "form/frm_main.h"
#include "host/host_layer.h"
#include "platform/env.h"

namespace ambervale {

// Whether the ticketing line `tau_line` (markup already turned into text) is due on `today`
// with a TAU period of `period_days`: nullopt when not; else the tail to send after the new
// date (the line from its first "*" to the end without line breaks; empty without "*").
//
// "TKTG-TAU/" is found ignoring case; the month must be upper case, as the host writes it.
// The date is the day-month after the two characters that follow "TKTG-TAU/", in today's
// year. It is due when limit <= date < today, limit being the month and day of today minus the
// period, in today's year; when the limit lies after today (the period reaches back into last
// year) when date >= limit or date < today. A line whose day or month cannot be read, or names
// no day of that month, is not due.
[[nodiscard]] std::optional<std::string> DueTauTail(const CivilTime& today, int period_days,
                                                    std::string_view tau_line);

// The refresh entry ("T.T@AU/" + today + tail) that the TAU line in `line0`, else `line1`
// (both formatted in place with FormatResponseText) needs with the period form.strTAUDate;
// nullopt when the line is missing or not due.
[[nodiscard]] std::optional<std::string> DueTauEntry(frmMain& form, std::string& line0,
                                                     std::string& line1);

// Looks for the TAU line in `line0`, then `line1` (both formatted in place with
// FormatResponseText) and, when it is due (period form.strTAUDate), sends "T.T@AU/" + today +
// tail. `changed` reports whether the entry was sent; the host's answer is not examined.
// Each function here returns the end of the program when the host was lost.
[[nodiscard]] ProgramEnd CheckTAU(frmMain& form, HostLayer& host, std::string& line0,
                                  std::string& line1, bool& changed);

// "*TD" and, into `entry`, the refresh entry its first one or two lines need (DueTauEntry),
// not sent.
[[nodiscard]] ProgramEnd ShowTicketingRefresh(frmMain& form, HostLayer& host,
                                              std::optional<std::string>* entry);

// The TAU step of a retrieved PNR `rloc`: "*TD", CheckTAU on its first one or two lines, and the
// "changes T field" lines when the date was refreshed. `changed` true when it was.
[[nodiscard]] ProgramEnd RefreshTicketingDate(frmMain& form, HostLayer& host, std::string_view rloc,
                                              bool* changed);

}  // namespace ambervale

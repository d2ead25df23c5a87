#pragma once

// Quiet repeated alerts: under a service manager that restarts the program, a host that stays
// down would have the same general alert mailed at every start. With [EMails]
// AlertQuietMinutes above 0, an alert whose text was mailed less than that many minutes ago is
// not mailed again. The texts mailed lately are kept across starts in logs/Mailed_Alerts.txt:
// one line per text, "<seconds since 1970>,<yyyy/mm/dd hh:mm:ss>,<text>" (line breaks of the
// text written as blanks), Windows-1252, CR LF. A file that cannot be read that way is taken
// as empty, with a debug-log line; it never stops the program.

#include <optional>
#include <string>
#include <string_view>

#include "logs/logs.h"
#include "platform/env.h"
#include "platform/ini.h"

namespace ambervale {

// The largest AlertQuietMinutes: a year.
inline constexpr int kMaxAlertQuietMinutes = 525'600;

// [EMails] AlertQuietMinutes of `settings_path`: a whole number from 0 to
// kMaxAlertQuietMinutes, 0 when empty or missing. Anything else counts as 0 and `problem`
// (when given) names the key and the value.
[[nodiscard]] int ReadAlertQuietMinutes(const clsINI& ini, const std::string& settings_path,
                                        std::string* problem = nullptr);

class AlertMemory {
 public:
  // Reads logs/Mailed_Alerts.txt of `logs`, which must outlive the memory.
  explicit AlertMemory(Logs& logs);

  // When `text` was last mailed, if that was less than `minutes` ago (a time ahead of the clock
  // counts as long ago).
  [[nodiscard]] std::optional<TimePoint> MailedWithin(std::string_view text, int minutes) const;
  // Notes that `text` was mailed now and forgets texts mailed `minutes` or more ago.
  void Remember(std::string_view text, int minutes);

 private:
  struct Entry {
    TimePoint mailed;
    std::string text;
  };
  bool Parse(std::string_view content);
  bool Recent(const Entry& entry, int minutes) const;

  Logs& logs_;
  std::string path_;
  std::vector<Entry> entries_;
};

}  // namespace ambervale

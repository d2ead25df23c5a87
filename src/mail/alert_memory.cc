#include "mail/alert_memory.h"

#include <charconv>
#include <chrono>

#include "platform/classic_text.h"
#include "platform/files.h"

namespace ambervale {
namespace {

constexpr std::string_view kFileName = "Mailed_Alerts.txt";
constexpr size_t kStampLength = 19;  // yyyy/mm/dd hh:mm:ss
// Far beyond any real time, and well inside what a TimePoint holds.
constexpr int64_t kLastSecond = 9'000'000'000;

std::optional<int64_t> WholeNumber(std::string_view text) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The text as one line of the file.
std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

int64_t SecondsOf(TimePoint t) {
  return std::chrono::duration_cast<std::chrono::seconds>(t.time_since_epoch()).count();
}

}  // namespace

int ReadAlertQuietMinutes(const clsINI& ini, const std::string& settings_path,
                          std::string* problem) {
  const std::string value = Trim(ini.ReadFromINI("EMails", "AlertQuietMinutes", "", settings_path));
  if (value.empty()) return 0;
  const std::optional<int64_t> minutes = WholeNumber(value);
  if (minutes && *minutes >= 0 && *minutes <= kMaxAlertQuietMinutes) {
    return static_cast<int>(*minutes);
  }
  if (problem != nullptr) {
    *problem = "[EMails] AlertQuietMinutes = \"" + value +
               "\" is no whole number of minutes from 0 to " +
               std::to_string(kMaxAlertQuietMinutes) + ": every alert is mailed";
  }
  return 0;
}

AlertMemory::AlertMemory(Logs& logs) : logs_(logs), path_(JoinPath(logs.folder(), kFileName)) {
  std::string content;
  if (!logs_.files().Read(path_, &content).ok() || Parse(content)) return;
  entries_.clear();
  logs_.WriteDebugLog("##### " + FormatDateTime(logs_.env().LocalNow()) + ". " + path_ +
                      " is not a list of mailed alerts: it is taken as empty #####");
}

bool AlertMemory::Parse(std::string_view content) {
  while (!content.empty()) {
    const size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty()) continue;
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos) return false;
    const std::optional<int64_t> seconds = WholeNumber(line.substr(0, comma));
    const size_t text_at = comma + 1 + kStampLength + 1;
    if (!seconds || *seconds < 0 || *seconds > kLastSecond || line.size() < text_at ||
        line[text_at - 1] != ',') {
      return false;
    }
    entries_.push_back(
        {TimePoint(std::chrono::seconds(*seconds)), std::string(line.substr(text_at))});
  }
  return true;
}

bool AlertMemory::Recent(const Entry& entry, int minutes) const {
  const auto age = logs_.env().Now() - entry.mailed;
  return age >= std::chrono::nanoseconds(0) && age < std::chrono::minutes(minutes);
}

std::optional<TimePoint> AlertMemory::MailedWithin(std::string_view text, int minutes) const {
  const std::string line = OneLine(text);
  for (const Entry& entry : entries_) {
    if (entry.text == line && Recent(entry, minutes)) return entry.mailed;
  }
  return std::nullopt;
}

void AlertMemory::Remember(std::string_view text, int minutes) {
  const std::string line = OneLine(text);
  std::vector<Entry> kept;
  for (Entry& entry : entries_) {
    if (entry.text != line && Recent(entry, minutes)) kept.push_back(std::move(entry));
  }
  kept.push_back({logs_.env().Now(), line});
  entries_ = std::move(kept);
  std::string content;
  for (const Entry& entry : entries_) {
    content += std::to_string(SecondsOf(entry.mailed)) + "," +
               FormatDateTime(logs_.env().ToLocal(entry.mailed)) + "," + entry.text + "\r\n";
  }
  (void)logs_.files().WriteAtomically(path_, content);
}

}  // namespace ambervale

#include "logs/run_log_reader.h"

#include "logs/logs.h"

namespace ambervale {
namespace {

constexpr std::string_view kCrLf = "\r\n";

}  // namespace

std::string UnscrambleRunLog(std::string_view file_bytes) { return ScrambleLogText(file_bytes); }

std::string_view LastRunLogRecords(std::string_view clear, size_t count) {
  if (count == 0) return clear.substr(clear.size());
  // `limit` is where the content of the record being counted ends; the CR LF that ends the
  // record before it starts two bytes before that at the latest.
  size_t limit = clear.size();
  if (clear.ends_with(kCrLf)) limit -= kCrLf.size();
  for (size_t i = 1; limit >= kCrLf.size(); ++i) {
    const size_t end = clear.rfind(kCrLf, limit - kCrLf.size());
    if (end == std::string_view::npos) break;
    if (i == count) return clear.substr(end + kCrLf.size());
    limit = end;
  }
  return clear;
}

}  // namespace ambervale

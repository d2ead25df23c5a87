#include "logs/csv_ring_log.h"

#include <utility>

#include "platform/file_system.h"

namespace ambervale {
namespace {

constexpr int kRingSize = 99;
constexpr std::string_view kCrLf = "\r\n";

std::string CsvField(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    line += CsvField(fields[i]);
  }
  return line;
}

CsvRingLog::CsvRingLog(Logs& logs, std::string prefix, const std::vector<std::string>& header)
    : logs_(logs),
      ring_(logs.env(), logs.files(), logs.folder(), std::move(prefix), ".csv", kRingSize,
            size_limit_),
      header_(CsvLine(header)) {}

bool CsvRingLog::WriteRows(const std::vector<std::vector<std::string>>& rows) {
  size_limit_ = logs_.size_limit();
  const RingLog::Target target = ring_.Locate();
  std::string block;
  if (target.size_before == 0) block.append(header_).append(kCrLf);
  for (const std::vector<std::string>& row : rows) block.append(CsvLine(row)).append(kCrLf);
  return ring_.Append(target, block).ok();
}

}  // namespace ambervale

#include "failqueue/fail_queue_log.h"

#include <optional>
#include <vector>

#include "logs/logs.h"
#include "platform/classic_text.h"
#include "platform/files.h"

namespace ambervale {
namespace {

constexpr int kHeaderLines = 3;
constexpr int kLoadedFields = 5;

// The lines of `text`, each without its CR LF (a lone LF ends a line too); a last line without
// an end counts.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) {
      fields.emplace_back(line.substr(start));
      return fields;
    }
    fields.emplace_back(line.substr(start, comma - start));
    start = comma + 1;
  }
}

// A data line of the current file, or why it cannot be used.
struct ParsedRow {
  std::optional<clsFailQueue> row;
  std::string problem;
};

ParsedRow ParseRow(std::string_view line) {
  const std::vector<std::string> f = SplitFields(line);
  if (f.size() < kLoadedFields) {
    return {std::nullopt, "fewer than " + std::to_string(kLoadedFields) + " fields"};
  }
  const std::optional<int16_t> to_queue = ToInt16(f[2]);
  if (!to_queue) return {std::nullopt, "To Queue \"" + f[2] + "\" is no number"};
  clsFailQueue row;
  row.fldFmFailPCC = f[0];
  row.fldFmFailQueueNo = f[1];
  row.fldToFailQueueNo = *to_queue;
  row.fldFailQueueCategory = f[3];
  row.fldFailPNR = f[4];
  return {row, ""};
}

}  // namespace

std::string FailQueueKey(std::string_view pcc, std::string_view pnr) {
  std::string key(pcc);
  key += '#';
  key += pnr;
  return key;
}

FailQueueLog::FailQueueLog(frmMain& form, FileSystem& files)
    : form_(form),
      files_(files),
      archive_(form.env(), files, form.logs().folder(), std::string(kFailQueueArchivePrefix),
               ".csv", kFailQueueArchiveRing, size_limit_) {}

std::string FailQueueLog::CurrentPath() const {
  return JoinPath(form_.logs().folder(), kFailQueueLogName);
}

std::string FailQueueLog::ArchivePath(int number) const { return archive_.PathOf(number); }

void FailQueueLog::UpdateSizeLimit() { size_limit_ = form_.logs().size_limit(); }

std::string FailQueueLog::HeaderBlock() {
  const std::string crlf(kCrLf);
  return std::string(kFailQueueLogHeader) + crlf + FormatDateTime(form_.env().LocalNow()) +
         " - Started by Agent,,,,,,,,,,," + crlf + "Fail Queue assigned : ,," + form_.FailQueueNo +
         "," + form_.FailQueueCategory + ",,,,,,,," + crlf;
}

std::string FailQueueLog::RestartBlock() {
  const std::string crlf(kCrLf);
  return ",,,,," + crlf + std::string(69, '*') + ",,,,," + crlf +
         FormatDateTime(form_.env().LocalNow()) + " - Restarted by Agent,,,,," + crlf +
         "Fail Queue assigned : ,," + form_.FailQueueNo + "," + form_.FailQueueCategory + ",," +
         crlf;
}

void FailQueueLog::WriteDebugLine(std::string_view text) {
  form_.logs().WriteDebugLog("##### " + FormatDateTime(form_.env().LocalNow()) + ". " +
                             std::string(text) + " #####");
}

Status FailQueueLog::WriteFailQueueLog(std::string_view row) {
  UpdateSizeLimit();
  std::string line(row);
  line += kCrLf;

  const RingLog::Target archive = archive_.Locate();
  Status written = archive_.Append(archive, archive.size_before == 0 ? HeaderBlock() + line : line);
  if (!written.ok()) return written;

  const std::string current = CurrentPath();
  const bool current_empty = FileSizeOrZero(files_, current) == 0;
  return files_.Append(current, current_empty ? HeaderBlock() + line : line);
}

void FailQueueLog::StartFailQueueLog() {
  UpdateSizeLimit();
  RingLog::Target archive;
  archive.path = archive_.CurrentPath();
  if (FileSizeOrZero(files_, archive.path) >= 1) (void)archive_.Append(archive, RestartBlock());

  const std::string current = CurrentPath();
  FileInfo info;
  std::string text;
  Status status = files_.Stat(current, &info);
  if (status.ok() && info.kind != FileInfo::Kind::kMissing) status = files_.Read(current, &text);
  if (!status.ok()) {
    // Unreadable: its rows are kept as they are.
    WriteDebugLine("Fail Queue Log not started afresh: " + status.message());
    return;
  }
  std::string kept;
  const std::vector<std::string> lines = SplitLines(text);
  for (size_t i = kHeaderLines; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    const ParsedRow parsed = ParseRow(lines[i]);
    if (parsed.row && WasReturned(FailQueueKey(parsed.row->fldFmFailPCC, parsed.row->fldFailPNR))) {
      continue;
    }
    kept += lines[i];
    kept += kCrLf;
  }
  // A failed replacement leaves the old rows whole: returned PNRs keep their rows a while.
  status = files_.WriteAtomically(current, kept.empty() ? kept : HeaderBlock() + kept);
  if (!status.ok()) WriteDebugLine("Fail Queue Log not started afresh: " + status.message());
  returned_.clear();
}

bool FailQueueLog::LoadFailQueueLog() {
  form_.AddActionLog("Loading Fail Queue Log file...", kRunLogPrefix, false);
  form_.dictFailQueueMapping.clear();
  form_.dictFailPCCMapping.clear();

  const std::string current = CurrentPath();
  if (FileSizeOrZero(files_, current) == 0) return true;
  std::string text;
  if (const Status read = files_.Read(current, &text); !read.ok()) {
    WriteDebugLine("Fail Queue Log " + current + " cannot be read: " + read.message());
    return false;
  }
  const auto skip = [&](size_t index, std::string_view problem, std::string_view line) {
    WriteDebugLine("Fail Queue Log " + current + " line " + std::to_string(index + 1) +
                   " skipped, " + std::string(problem) + ": " + std::string(line));
  };

  const std::vector<std::string> lines = SplitLines(text);
  if (lines.size() >= kHeaderLines) {
    const std::vector<std::string> f = SplitFields(lines[kHeaderLines - 1]);
    const std::optional<int16_t> queue = f.size() >= 3 ? ToInt16(f[2]) : std::nullopt;
    if (queue) {
      form_.LogFailedQueue = *queue;
    } else {
      skip(kHeaderLines - 1, "no Fail Queue number in its third field", lines[kHeaderLines - 1]);
    }
  }
  for (size_t i = kHeaderLines; i < lines.size(); ++i) {
    ParsedRow parsed = ParseRow(lines[i]);
    if (!parsed.row) {
      skip(i, parsed.problem, lines[i]);
      continue;
    }
    const std::string key = FailQueueKey(parsed.row->fldFmFailPCC, parsed.row->fldFailPNR);
    form_.dictFailQueueMapping.GetOrAdd(key).push_back(std::move(*parsed.row));
  }
  return true;
}

void FailQueueLog::MarkReturned(std::string_view key) { returned_.emplace(key); }

bool FailQueueLog::WasReturned(std::string_view key) const {
  return returned_.find(key) != returned_.end();
}

}  // namespace ambervale

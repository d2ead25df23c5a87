#include "logs/logs.h"

#include <optional>
#include <utility>

#include "platform/files.h"

namespace ambervale {
namespace {

// Only the first character of the key takes part in the scrambling; files written with one
// first character are read back only with the same one.
constexpr std::string_view kRunLogKey = "pwx4";
constexpr std::string_view kSeparator = "************************";
constexpr std::string_view kCrLf = "\r\n";
constexpr int kRingSize = 99;
constexpr int kRunLogRingSize = 5;

constexpr std::string_view kTempHeader = "tempHeader.txt";
constexpr std::string_view kTempHeaderStatus = "tempHeaderStatus.txt";

// Every line of `text` (ended by CR LF, LF or CR; a last line without an end counts too),
// each written with CR LF.
std::string AsCrLfLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  size_t i = 0;
  while (i < text.size()) {
    const size_t end = text.find_first_of("\r\n", i);
    if (end == std::string_view::npos) {
      out.append(text.substr(i));
      out.append(kCrLf);
      break;
    }
    out.append(text.substr(i, end - i));
    out.append(kCrLf);
    i = end + 1;
    if (text[end] == '\r' && i < text.size() && text[i] == '\n') ++i;
  }
  return out;
}

}  // namespace

std::string ScrambleLogText(std::string_view text) {
  const auto key = static_cast<unsigned char>(kRunLogKey.front());
  std::string out(text);
  for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) ^ key);
  return out;
}

Logs::Logs(Env& env, std::string logs_folder, FileSystem& files)
    : env_(env),
      files_(files),
      folder_(std::move(logs_folder)),
      debug_(env, files, folder_, "debug_log_", ".txt", kRingSize, size_limit_),
      action_(env, files, folder_, "action_log_", ".txt", kRingSize, size_limit_),
      failed_pnr_(env, files, folder_, "Failed_PNR_", ".txt", kRingSize, size_limit_),
      unticketed_(env, files, folder_, "Unticketed_PNR_Log_", ".csv", kRingSize, size_limit_) {}

void Logs::SetSizeLimit(int32_t bytes) { size_limit_ = bytes; }

void Logs::WriteDebugLog(std::string_view text) { debug_.WriteLine(text); }

void Logs::WriteActionLogFile(std::string_view text) { action_.WriteLine(text); }

void Logs::WriteFailedPnrLog(std::string_view text) { failed_pnr_.WriteLine(text); }

std::string Logs::RunLogPath() const {
  return JoinPath(folder_, std::string(kRunLogPrefix) + "1.dat");
}

void Logs::WriteRunLog(std::string_view text, std::string_view prefix) {
  if (prefix.find(kRunLogPrefix) != std::string_view::npos) {
    AppendScrambled(text, /*screen=*/false);
    return;
  }
  std::string line = "#### ";
  line.append(text);
  line.append(" ####");
  PlainRunLog(prefix).WriteLine(line);
}

void Logs::WriteRunLogScreen(std::string_view text, std::string_view prefix) {
  if (prefix.find(kRunLogPrefix) != std::string_view::npos) {
    AppendScrambled(text, /*screen=*/true);
    return;
  }
  PlainRunLog(prefix).WriteLine(text);
}

RingLog& Logs::PlainRunLog(std::string_view prefix) {
  auto it = plain_run_logs_.find(prefix);
  if (it == plain_run_logs_.end()) {
    it = plain_run_logs_
             .emplace(std::string(prefix),
                      std::make_unique<RingLog>(env_, files_, folder_, std::string(prefix), ".txt",
                                                kRunLogRingSize, size_limit_))
             .first;
  }
  return *it->second;
}

void Logs::AppendScrambled(std::string_view text, bool screen) {
  const std::string path = RunLogPath();
  // A file that cannot be examined is written to without the size check.
  std::optional<int64_t> size = RegularFileSize(files_, path);
  if (size && *size > run_log_size_limit_) {
    (void)files_.Delete(path);
    size = RegularFileSize(files_, path);
  }
  const bool empty = !size || *size == 0;
  // A start banner on a file that has records, and the first screen of a fresh file, are
  // set off from what comes before by a separator line.
  const bool separate =
      screen ? empty : (!empty && text.find("Application Started") != std::string_view::npos);
  std::string record;
  record.reserve(text.size() + kSeparator.size() + 6);
  if (separate) {
    record.append(kCrLf);
    record.append(kSeparator);
    record.append(kCrLf);
  }
  record.append(text);
  record.append(kCrLf);
  // One write call per record on a file opened for appending, so records from the program
  // and from anything else appending never interleave inside a record.
  (void)files_.Append(path, ScrambleLogText(record));
}

void Logs::AppendUnticketedHeader(std::string_view line) {
  (void)files_.Append(JoinPath(folder_, kTempHeader), std::string(line) + std::string(kCrLf));
}

void Logs::AppendUnticketedStatus(std::string_view line) {
  (void)files_.Append(JoinPath(folder_, kTempHeaderStatus), std::string(line) + std::string(kCrLf));
}

bool Logs::BuildUnticketedReport() {
  // Without a header block there is no report: nothing is written and nothing deleted.
  const std::optional<std::string> header = ReadRegularFile(files_, JoinPath(folder_, kTempHeader));
  if (!header) return false;
  const std::optional<std::string> status =
      ReadRegularFile(files_, JoinPath(folder_, kTempHeaderStatus));

  const std::optional<int64_t> located_size = RegularFileSize(files_, unticketed_.CurrentPath());
  const RingLog::Target target = unticketed_.Locate();
  std::string block;
  // Two empty lines set this report off from the one before it, also when the size check
  // has just started a new file.
  if (located_size.value_or(0) > 0) {
    block.append(kCrLf);
    block.append(kCrLf);
  }
  block.append(AsCrLfLines(*header));
  if (status) block.append(AsCrLfLines(*status));
  if (!unticketed_.Append(target, block).ok()) return false;
  // A missing status block keeps both temporary files, so the report can be built again.
  if (!status) return false;
  ClearUnticketedTemp();
  return true;
}

void Logs::ClearUnticketedTemp() {
  (void)files_.Delete(JoinPath(folder_, kTempHeader));
  (void)files_.Delete(JoinPath(folder_, kTempHeaderStatus));
}

std::string Logs::UnticketedReportPath() { return unticketed_.CurrentPath(); }

}  // namespace ambervale

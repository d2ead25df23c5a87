#pragma once

// The program's log files, all in the `logs` folder of the program's folder:
//  - rings of numbered text files (debug_log_N.txt, action_log_N.txt, Failed_PNR_N.txt with
//    N = 1..99, Unticketed_PNR_Log_N.csv) whose current file is the most recently modified
//    one, moving on to the next number (emptied first) when it has grown past the size limit;
//  - the run log: logs/Ambervale_LOG_1.dat (scrambled records, 50,000,000-byte limit) for
//    prefixes containing "Ambervale_LOG_", plain rings of five (prefix + N + ".txt") for any
//    other prefix;
//  - the two temporary files of the unticketed report (tempHeader.txt, tempHeaderStatus.txt).
// Text is Windows-1252 bytes, lines end in CR LF. Nothing is kept open between writes, and a
// write that fails loses that one line silently.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logs/ring_log.h"
#include "platform/env.h"
#include "platform/file_system.h"

namespace ambervale {

inline constexpr std::string_view kRunLogPrefix = "Ambervale_LOG_";
inline constexpr std::string_view kQueueListPrefix = "PNR_Queue_List_";
inline constexpr std::string_view kSuccessPrefix = "Success_PNR_";
// The scrambled run log starts over once it has grown past this many bytes.
inline constexpr int64_t kRunLogSizeLimit = 50'000'000;

// Applies the run log's scrambling to every byte; applying it twice gives the text back.
std::string ScrambleLogText(std::string_view text);

class Logs {
 public:
  // `logs_folder` is the program folder + "/logs". The size limit starts at 0. Every file of
  // the logs (also the CSV rings and the alert memory kept beside them) goes through `files`.
  Logs(Env& env, std::string logs_folder, FileSystem& files = PosixFileSystem());
  Logs(const Logs&) = delete;
  Logs& operator=(const Logs&) = delete;

  // LOGFILESIZE: the size limit of every ring (not of the scrambled run log).
  void SetSizeLimit(int32_t bytes);
  int32_t size_limit() const { return size_limit_; }
  const std::string& folder() const { return folder_; }
  Env& env() { return env_; }
  FileSystem& files() { return files_; }

  void WriteDebugLog(std::string_view text);
  // Several debug lines in one write (the host layer logs each entry and answer as a block).
  void WriteDebugLines(const std::vector<std::string>& lines) { debug_.WriteLines(lines); }
  void WriteActionLogFile(std::string_view text);
  void WriteFailedPnrLog(std::string_view text);
  // Nothing stays open between writes; kept so that shutdown reads as the program does.
  void CloseActionLogFile() {}

  // The run log family, chosen by `prefix` (see above). WriteRunLog decorates plain lines
  // with "#### " ... " ####"; WriteRunLogScreen writes the text as it is.
  void WriteRunLog(std::string_view text, std::string_view prefix);
  void WriteRunLogScreen(std::string_view text, std::string_view prefix);
  std::string RunLogPath() const;  // logs/Ambervale_LOG_1.dat
  // The scrambled run log's limit (kRunLogSizeLimit unless a test lowers it).
  void SetRunLogSizeLimit(int64_t bytes) { run_log_size_limit_ = bytes; }

  // The unticketed-PNR report.
  void AppendUnticketedHeader(std::string_view line);
  void AppendUnticketedStatus(std::string_view line);
  // Appends the header block, then the status block, to the current Unticketed_PNR_Log file
  // (two empty lines first when that file was not empty) and deletes both temporary files.
  // Stops at the first error (a missing tempHeader.txt copies nothing and deletes nothing).
  bool BuildUnticketedReport();
  void ClearUnticketedTemp();
  std::string UnticketedReportPath();  // the current Unticketed_PNR_Log file

  RingLog& debug_log() { return debug_; }
  RingLog& action_log() { return action_; }
  RingLog& failed_pnr_log() { return failed_pnr_; }
  RingLog& unticketed_log() { return unticketed_; }

 private:
  RingLog& PlainRunLog(std::string_view prefix);
  void AppendScrambled(std::string_view text, bool screen);

  Env& env_;
  FileSystem& files_;
  std::string folder_;
  int32_t size_limit_ = 0;
  int64_t run_log_size_limit_ = kRunLogSizeLimit;
  RingLog debug_;
  RingLog action_;
  RingLog failed_pnr_;
  RingLog unticketed_;
  std::map<std::string, std::unique_ptr<RingLog>, std::less<>> plain_run_logs_;
};

}  // namespace ambervale

#include "distribution/what_if_report.h"

#include <cstdio>

#include "distribution/move_entries.h"
#include "logs/csv_ring_log.h"
#include "logs/logs.h"
#include "platform/classic_text.h"
#include "platform/files.h"

namespace ambervale {
namespace {

std::string FileStamp(const CivilTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

std::string Joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty() && !part.empty()) text += separator;
    text += part;
  }
  return text;
}

// The kinds that found agents in the deciding file, and what each read.
std::string DecidingValues(const FileIdentification& file) {
  std::vector<std::string> values;
  for (const LookupFinding& finding : file.lookups) {
    if (!finding.rows.empty()) values.push_back(finding.value_read);
  }
  return Joined(values, " | ");
}

std::string Agents(const AgentCollection& found) {
  std::vector<std::string> agents;
  for (const clsAgentQueue& agent : found) {
    std::string text = agent.fldAgentId();
    if (!agent.fldAgentName.empty() && agent.fldAgentName != text) {
      text += " (" + agent.fldAgentName + ")";
    }
    agents.push_back(text + " " + AgentQueue(agent));
  }
  return Joined(agents, "; ");
}

std::string Lines(const AgentCollection& found) {
  std::vector<std::string> lines;
  for (const clsAgentQueue& agent : found) lines.push_back(std::to_string(agent.line_number));
  return Joined(lines, " ");
}

// logs/WhatIf_<stamp>.csv, or WhatIf_<stamp>_2.csv ... when a pass of the same second has
// its file already.
std::string FreshPath(FileSystem& files, const std::string& folder, const std::string& stamp) {
  std::string path = JoinPath(folder, "WhatIf_" + stamp + ".csv");
  for (int n = 2;; ++n) {
    FileInfo info;
    if (!files.Stat(path, &info).ok() || info.kind == FileInfo::Kind::kMissing) return path;
    path = JoinPath(folder, "WhatIf_" + stamp + "_" + std::to_string(n) + ".csv");
  }
}

}  // namespace

WhatIfReport::WhatIfReport(frmMain& form, FileSystem& files)
    : files_(files),
      path_(FreshPath(files, form.logs().folder(), FileStamp(form.env().LocalNow()))) {
  Append({"Source PCC", "Queue", "Category", "Record locator", "Found by", "Value read",
          "Mapping file", "Mapping lines", "Agents", "Outcome", "Entries"});
}

void WhatIfReport::Pnr(const TaskState& task, const std::string& rloc,
                       const PnrIdentification& identified, const MovePlan& plan,
                       const std::optional<std::string>& tau_entry) {
  static constexpr std::array<const char*, kOutcomes> kWords = {"moved", "Fail Queue",
                                                                "left on the queue"};
  const Outcome outcome = plan.outcome == MovePlan::Outcome::kToAgents      ? kMoved
                          : plan.outcome == MovePlan::Outcome::kToFailQueue ? kToFailQueue
                                                                            : kLeftOnQueue;
  ++counts_[outcome];
  if (tau_entry) ++tau_refreshes_;
  std::vector<std::string> fields = {task.pcc, std::to_string(task.q), task.cat, rloc};
  if (identified.files.empty()) {
    fields.insert(fields.end(), {"", "", "", "", ""});
  } else {
    const FileIdentification& file = identified.deciding();
    fields.insert(fields.end(),
                  {file.found_by, DecidingValues(file), file.task_row.fldMappingFileName,
                   Lines(file.found), Agents(file.found)});
  }
  std::string outcome_text = kWords[outcome];
  if (tau_entry) outcome_text += ", ticketing date refreshed";
  fields.push_back(outcome_text);
  fields.push_back(Joined({tau_entry.value_or(""), plan.notepad_entry, plan.entry}, " "));
  Append(fields);
}

void WhatIfReport::TaskNotWalked(const std::string& task, const std::string& reason) {
  not_walked_.push_back(task + ": " + reason);
}

std::string WhatIfReport::Summary() const {
  const int64_t total = counts_[kMoved] + counts_[kToFailQueue] + counts_[kLeftOnQueue];
  std::string text = "What-if: " + std::to_string(total) + " PNRs met, " +
                     std::to_string(counts_[kMoved]) + " would be moved to their agents, " +
                     std::to_string(counts_[kToFailQueue]) + " to the Fail Queue, " +
                     std::to_string(counts_[kLeftOnQueue]) + " left on their queues; " +
                     std::to_string(tau_refreshes_) + " ticketing dates would be refreshed.\n";
  for (const std::string& task : not_walked_) text += "Not walked: " + task + "\n";
  text += write_problem_.empty()
              ? "Rows: " + path_ + "\n"
              : "The rows could not all be written to " + path_ + ": " + write_problem_ + "\n";
  return text;
}

void WhatIfReport::Append(const std::vector<std::string>& fields) {
  const Status written = files_.Append(path_, CsvLine(fields) + std::string(kCrLf));
  if (!written.ok() && write_problem_.empty()) write_problem_ = written.message();
}

}  // namespace ambervale

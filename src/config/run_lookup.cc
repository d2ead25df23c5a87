#include "config/run_lookup.h"

#include "config/config_csv.h"
#include "host/busy_retry.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {

std::string HostDisplay::FirstLine() { return end_ ? "" : host_.GetResponseLine(0); }

int HostDisplay::count() {
  if (!read_) Read();
  return static_cast<int>(lines_.size());
}

const std::string& HostDisplay::line(int j) {
  if (!read_) Read();
  return lines_[static_cast<size_t>(j)];
}

void HostDisplay::Page() {
  Send("MR");
  Read();
}

void HostDisplay::Send(std::string_view entry) {
  if (!end_) end_ = SendEntry(host_, entry);
}

void HostDisplay::Read() {
  read_ = true;
  lines_.clear();
  if (end_) return;
  const int16_t n = host_.GetResponseLineCount();
  for (int16_t i = 0; i < n; ++i) {
    std::string text = host_.GetResponseLine(i);
    CleanResponseText(&text);
    lines_.push_back(Trim(text));
  }
}

LookupDisplay& HostPnrView::Show(LookupKind kind) {
  switch (kind) {
    case LookupKind::kName:
      display_.Send("*P");
      break;
    case LookupKind::kCi:
      display_.Send("*CI");
      break;
    default:
      display_.Send("*DI");
      break;
  }
  display_.Reset();
  return display_;
}

void RunLookupLog::Matched(std::string_view kind, std::string_view text) {
  if (Silent()) return;
  form_.AddActionLog(std::string(kind) + " is matched: HOST Resopnse- " + std::string(text),
                     kRunLogPrefix, true);
}

void RunLookupLog::PagingGaveUp(std::string_view kind, const clsAgentQueue& row,
                                std::string_view file) {
  if (Silent()) return;
  WriteProblemLine(
      form_, "The DI display was still going on after " + std::to_string(kMaxPagesPerRow) +
                 " MR entries for the " + std::string(kind) + " row " + Quoted(row.fldAgentId()) +
                 " of " + std::string(file.empty() ? "the mapping file" : file) + " line " +
                 std::to_string(row.line_number) + "; the row is taken as not matched");
}

void RunLookupLog::CheckingFile(const clsFromQueue& row) {
  if (Silent()) return;
  form_.AddActionLog("Checking in Mapping File " + row.fldMappingFileName, kRunLogPrefix, true);
}

void RunLookupLog::NoTable(const clsFromQueue& row) {
  if (Silent()) return;
  const std::string problem =
      "Mapping File " + row.fldMappingFileName + " has no loaded table: no agent found";
  form_.AddActionLog(problem, kRunLogPrefix, true);
  form_.logs().WriteDebugLog("##### " + FormatDateTime(form_.env().LocalNow()) + ". " + rloc_ +
                             ": " + problem + " #####");
}

void RunLookupLog::Reading(LookupKind kind) {
  if (Silent()) return;
  switch (kind) {
    case LookupKind::kName:
      form_.AddActionLog("Reading Agent NAME in PNR", kRunLogPrefix, true);
      return;
    case LookupKind::kDiAc:
    case LookupKind::kCi:
    case LookupKind::kDiX:
      form_.AddActionLog("Reading " + std::string(LookupKindWord(kind)) + " in PNR", kRunLogPrefix,
                         true);
      return;
    case LookupKind::kSine:
      return;
  }
}

}  // namespace ambervale

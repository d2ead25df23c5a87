#include "config/cross_checks.h"

#include <unordered_set>

#include "config/agent_lookup.h"
#include "config/config_csv.h"
#include "logs/logs.h"
#include "platform/classic_text.h"
#include "platform/files.h"

namespace ambervale {
namespace {

constexpr size_t kMappingNameWidth = 26;
constexpr size_t kTaskFileWidth = 31;

void WriteReportFile(frmMain& form, std::string_view name, const std::string& report) {
  const std::string path = JoinPath(form.env().ProgramFolder(), name);
  if (!form.files().WriteAtomically(path, report + "\r\n").ok()) {
    WriteProblemLine(
        form, std::string(name) + " cannot be written in " + Quoted(form.env().ProgramFolder()));
  }
}

void AddToQueueList(frmMain& form, const clsFromQueue& task) {
  std::string entry = std::to_string(task.fldFmQueueNo);
  if (!form.FailQueueCategory.empty()) entry += "/" + task.fldFmCategory;
  if (!ContainsNoCase(form.TaskMainQueueList, entry)) form.TaskMainQueueList += entry + ",";
}

}  // namespace

PccCheck BuildPCCCheck(frmMain& form) {
  PccCheck check;
  form.TaskMainPCCList.clear();
  form.TaskMainQueueList.clear();
  form.MappingPCCList.clear();
  // Each mapping file is listed once. The names are compared whole: a name contained in an
  // earlier line (MAP.CSV after SALESMAP.CSV) is another file.
  std::unordered_set<std::string> listed;
  int n = 2;
  for (const auto& [key, tasks] : form.dictFmtoMapping) {
    if (tasks.empty()) continue;
    const clsFromQueue& first = tasks.front();
    if (!ContainsNoCase(form.TaskMainPCCList, first.fldFmPCC)) {
      form.TaskMainPCCList += first.fldFmPCC + ",";
      ++check.source_pccs;
    }
    AddToQueueList(form, first);

    // The unticketed mode loads no mapping file: there is nothing to list.
    if (form.IsUnticketedMode()) continue;
    const AgentTable* table = form.dictAgentMapping.Find(first.fldMappingFileName);
    if (table == nullptr || !listed.insert(first.fldMappingFileName).second) continue;
    std::string pccs;
    if (check.DiffMappPCC < 2) {
      check.DiffMappPCC = 0;
      pccs = ReadPCCFromMapping(form, *table, check.DiffMappPCC);
    } else {
      pccs = ReadPCCFromMapping(form, *table);
    }
    form.MappingPCCList += std::to_string(n) + ") " +
                           PadRight(first.fldMappingFileName, kMappingNameWidth) + pccs + "\n";
    ++n;
  }

  form.taskMainFile = PadRight(form.taskMainFile, kTaskFileWidth);
  if (!Trim(form.TaskMainPCCList).empty()) {
    form.TaskMainPCCList.pop_back();
    form.TaskMainPCCList += "\n";
  }
  check.report =
      "Ambervale has found PCC(s) entered in Task Maintenance/Mapping files to be different.\n"
      "The list below displays the different PCC(s) in Task Maintenance/Mapping file(s).\n"
      "\n"
      "File Name" +
      std::string(30, ' ') + "PCC(s)\n" + "1) " + form.taskMainFile + form.TaskMainPCCList +
      form.MappingPCCList + "\n\nDo you want the application to run with the defined settings ?";
  return check;
}

ProgramEnd RunPCCCheck(frmMain& form, bool pcc_check) {
  const PccCheck check = BuildPCCCheck(form);
  form.AddActionLog(pcc_check ? "PCC Check in task maintenance/mapping file(s) is enabled"
                              : "PCC Check in task maintenance/mapping file(s) is disabled",
                    kRunLogPrefix, true);
  if (!pcc_check || !check.MustAsk()) return ProgramEnd::GoOn();
  WriteReportFile(form, kPccCheckFile, check.report);
  const BoxAnswer answer =
      form.window().ShowMessageBox(check.report, BoxButtons::kYesNo, BoxIcon::kNone, "");
  return answer == BoxAnswer::kYes ? ProgramEnd::GoOn() : ProgramEnd::Exit(1);
}

void TrimTaskMainQueueList(frmMain& form) {
  if (!form.TaskMainQueueList.empty() && form.TaskMainQueueList.back() == ',') {
    form.TaskMainQueueList.pop_back();
  }
}

std::string FailQueueAddress(const frmMain& form) {
  if (form.FailQueueCategory.empty()) return form.FailQueueNo;
  return form.FailQueueNo + "/" + form.FailQueueCategory;
}

FailQueueConflicts FindFailQueueConflicts(frmMain& form) {
  const std::string fq = FailQueueAddress(form);
  const bool task_conflict = ContainsNoCase(form.TaskMainQueueList, fq);
  int n = task_conflict ? 2 : 1;
  form.MappingQueueList.clear();
  std::unordered_set<std::string> examined;
  for (const auto& [key, tasks] : form.dictFmtoMapping) {
    if (tasks.empty()) continue;
    const std::string& name = tasks.front().fldMappingFileName;
    if (!examined.insert(name).second) continue;
    const AgentTable* table = form.dictAgentMapping.Find(name);
    if (table == nullptr || !ReadQueueCatFromMapping(form, *table, fq)) continue;
    form.MappingQueueList +=
        std::to_string(n) + ") " + PadRight(name, kMappingNameWidth) + fq + "\n";
    ++n;
  }

  FailQueueConflicts result;
  if (form.FailQueueCategory.empty()) {
    result.report = "Queue " + form.FailQueueNo +
                    " already assigned as a Fail Queue and cannot be used in Task Maintenance "
                    "and Mapping file.\n";
  } else {
    result.report = "Queue/Category " + fq +
                    " already assigned as a Fail Queue,  and cannot be used in Task "
                    "Maintenance\nand Mapping file.\n";
  }
  result.report += "Please modify the following file(s) to continue\n\nFile Name" +
                   std::string(25, ' ') + "Queue/Category Number\n";
  if (task_conflict) {
    result.report += "1)" + form.taskMainFile + fq + "\n";
    result.conflict = true;
  }
  if (ContainsNoCase(form.MappingQueueList, fq)) {
    result.report += form.MappingQueueList;
    result.conflict = true;
  }
  return result;
}

ProgramEnd RunFailQueueConflictCheck(frmMain& form) {
  const FailQueueConflicts found = FindFailQueueConflicts(form);
  if (!found.conflict) return ProgramEnd::GoOn();
  form.AddActionLog("Queue/Category already assigned as a Fail Queue and cannot be used",
                    kRunLogPrefix, true);
  WriteReportFile(form, kFailQueueCheckFile, found.report);
  (void)form.window().ShowMessageBox(found.report, BoxButtons::kOk, BoxIcon::kNone, "");
  return ProgramEnd::Exit(1);
}

}  // namespace ambervale

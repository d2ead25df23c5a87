#include "app/explain.h"

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/config_check.h"
#include "config/pnr_identification.h"
#include "config/task_maintenance.h"
#include "distribution/move_entries.h"
#include "distribution/move_plan.h"
#include "platform/classic_text.h"
#include "platform/cp1252.h"

namespace ambervale {
namespace {

constexpr size_t kRemarksPerPage = 10;

using Lines = std::vector<std::string>;

// A display made of fields, in pages as the host pages it; past the last page "MR" answers
// "NOTHING TO SCROLL".
class FieldDisplay : public LookupDisplay {
 public:
  explicit FieldDisplay(std::vector<Lines> pages = {}) : pages_(std::move(pages)) {}
  std::string FirstLine() override { return count() > 0 ? line(0) : ""; }
  int count() override { return static_cast<int>(Current().size()); }
  const std::string& line(int j) override { return Current()[static_cast<size_t>(j)]; }
  void Page() override { ++page_; }

 private:
  const Lines& Current() const {
    static const Lines kNothingToScroll = {"NOTHING TO SCROLL", ""};
    return page_ < pages_.size() ? pages_[page_] : kNothingToScroll;
  }

  std::vector<Lines> pages_;
  size_t page_ = 0;
};

// The PNR of the request as the host shows it: "*P" one line "1.1" + name; "*DI" numbered
// remarks, ten a page, the last page ending with an empty line; "*CI" "CUST-" + value or
// "NO CI DATA", then an empty line.
class FieldPnrView : public PnrView {
 public:
  explicit FieldPnrView(const ExplainRequest& request) : request_(request) {}

  LookupDisplay& Show(LookupKind kind) override {
    switch (kind) {
      case LookupKind::kName:
        display_ = FieldDisplay({{"1.1" + request_.name}});
        break;
      case LookupKind::kCi:
        display_ = FieldDisplay({{request_.ci ? Trim("CUST-" + *request_.ci) : "NO CI DATA", ""}});
        break;
      default:
        display_ = FieldDisplay(Remarks());
        break;
    }
    return display_;
  }

 private:
  std::vector<Lines> Remarks() const {
    if (request_.di.empty()) return {{""}};
    std::vector<Lines> pages;
    for (size_t i = 0; i < request_.di.size(); ++i) {
      if (i % kRemarksPerPage == 0) pages.emplace_back();
      pages.back().push_back(Trim(PadRight(std::to_string(i + 1) + ".", 5) + request_.di[i]));
    }
    pages.back().emplace_back();
    return pages;
  }

  const ExplainRequest& request_;
  FieldDisplay display_;
};

std::string RowText(const clsAgentQueue& row) {
  const std::string id = row.fldAgentId();
  std::string text = "line " + std::to_string(row.line_number) + " \"" + id + "\"";
  if (!row.fldAgentName.empty() && row.fldAgentName != id) text += " (" + row.fldAgentName + ")";
  return text + " -> " + AgentQueue(row);
}

int RowsOfKind(const AgentTable& table, LookupKind kind) {
  int n = 0;
  for (const auto& [id, rows] : table) {
    for (const clsAgentQueue& row : rows) {
      n += EqualsNoCase(Trim(row.fldDistributedBy), LookupKindWord(kind)) ? 1 : 0;
    }
  }
  return n;
}

class Explanation {
 public:
  Explanation(const frmMain& form, const ExplainRequest& request, std::ostream& out, bool utf8)
      : form_(form), request_(request), out_(out), utf8_(utf8) {}

  int Run() {
    if (form_.IsUnticketedMode()) {
      Line(
          "--explain: the settings select the unticketed mode ([MOVEMODE] PNRMODE=UTK), in "
          "which no PNR is moved to agents");
      return 1;
    }
    clsFromQueue wanted;
    wanted.fldFmPCC = request_.pcc;
    wanted.fldFmQueueNo = request_.queue;
    wanted.fldFmCategory = request_.category;
    // The Task Maintenance file may write the category in either case.
    const std::string key = TaskKey(form_, wanted);
    const std::vector<clsFromQueue>* rows = nullptr;
    for (const auto& [known, task_rows] : form_.dictFmtoMapping) {
      if (EqualsNoCase(known, key)) rows = &task_rows;
    }
    const std::string task_file = Trim(form_.taskMainFile);
    if (rows == nullptr || rows->empty()) {
      Line("--task " + request_.task + ": no such source queue in " + task_file +
           "; its source queues are " + KnownTasks());
      return 1;
    }
    FieldPnrView view(request_);
    IdentificationLog silent;
    const PnrIdentification identified =
        IdentifyPnr(form_.dictAgentMapping, *rows, request_.sine, view, silent);
    Line("Task " + TaskName(rows->front()) + ": " + std::to_string(rows->size()) + " mapping file" +
         (rows->size() == 1 ? "" : "s") + " in " + task_file);
    for (const FileIdentification& file : identified.files) File(file);
    Decision(identified);
    return 0;
  }

 private:
  void Line(const std::string& text) { out_ << (utf8_ ? Cp1252ToUtf8(text) : text) << '\n'; }

  static std::string TaskName(const clsFromQueue& row) {
    const std::string category = Trim(row.fldFmCategory);
    return row.fldFmPCC + "/" + std::to_string(row.fldFmQueueNo) +
           (category.empty() ? "" : "*" + category);
  }

  std::string KnownTasks() const {
    std::string list;
    for (const auto& [key, rows] : form_.dictFmtoMapping) {
      if (!rows.empty()) list += (list.empty() ? "" : ", ") + TaskName(rows.front());
    }
    return list.empty() ? "none" : list;
  }

  void File(const FileIdentification& file) {
    const clsFromQueue& row = file.task_row;
    Line("");
    Line(row.fldMappingFileName + " (Task Maintenance line " + std::to_string(row.line_number) +
         ")");
    const AgentTable* table = form_.dictAgentMapping.Find(row.fldMappingFileName);
    if (!file.has_table || table == nullptr) {
      Line("  not loaded: finds no agent");
      return;
    }
    for (const LookupFinding& finding : file.lookups) Finding(*table, finding);
    if (file.found.empty()) {
      Line("  no agent found");
    } else {
      Line("  " + std::to_string(file.found.size()) + " agent" +
           (file.found.size() == 1 ? "" : "s") + " found by " + file.found_by);
    }
  }

  void Finding(const AgentTable& table, const LookupFinding& finding) {
    const std::string word(LookupKindWord(finding.kind));
    std::string head = "  " + PadRight(word, 6);
    head += finding.value_read.empty() ? "read nothing" : "read \"" + finding.value_read + "\"";
    const int rows = RowsOfKind(table, finding.kind);
    if (rows == 0) {
      Line(head + ": the file has no " + word + " rows");
    } else if (finding.rows.empty()) {
      Line(head + ": none of its " + std::to_string(rows) + " " + word + " row" +
           (rows == 1 ? "" : "s") + " matches");
    } else {
      Line(head + ": matches");
      for (const clsAgentQueue& row : finding.rows) Line("    " + RowText(row));
    }
  }

  void Decision(const PnrIdentification& identified) {
    const MovePlan plan = PlanMove(form_, request_.pcc, identified);
    const FileIdentification& deciding = identified.deciding();
    Line("");
    if (identified.files.size() > 1) {
      Line("The last mapping file, " + deciding.task_row.fldMappingFileName + ", decides.");
    }
    if (form_.blnTAUCheck && plan.outcome != MovePlan::Outcome::kLeftOnQueue) {
      Line("With [TAU] TAUCHECK=Y a ticketing date that fell due is moved to today first (*TD).");
    }
    switch (plan.outcome) {
      case MovePlan::Outcome::kToAgents:
        if (!plan.notepad_entry.empty()) Line("The run adds the remark: " + plan.notepad_entry);
        Line("The run moves the PNR with: " + plan.entry);
        break;
      case MovePlan::Outcome::kToFailQueue:
        Line("No agent found: the run moves the PNR to the Fail Queue with: " + plan.entry);
        Line("Its Fail Queue Log row keeps the values read: " + deciding.values_read);
        break;
      case MovePlan::Outcome::kLeftOnQueue:
        Line(
            "No agent found and the Fail Queue is not active: the run leaves the PNR on its "
            "queue (I).");
        break;
    }
  }

  const frmMain& form_;
  const ExplainRequest& request_;
  std::ostream& out_;
  bool utf8_;
};

}  // namespace

int ExplainPnr(Env& env, const ExplainRequest& request, std::ostream& out, bool utf8) {
  return WithConfiguration(env, out, utf8, [&](const frmMain& form) {
    return Explanation(form, request, out, utf8).Run();
  });
}

}  // namespace ambervale

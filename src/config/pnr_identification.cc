#include "config/pnr_identification.h"

namespace ambervale {
namespace {

// Searches one table: the sine, then each display in the run's order.
class FileSearch {
 public:
  FileSearch(const AgentTable& dict, const clsFromQueue& row, PnrView& view, IdentificationLog& log,
             FileIdentification& out)
      : dict_(dict), file_(row.fldMappingFileName), view_(view), log_(log), out_(out) {}

  void Run(const std::string& sine) {
    LookupFinding& by_sine = Begin(LookupKind::kSine);
    by_sine.value_read = sine;
    std::string unused;
    if (dict_.Contains(sine)) findAgentBySine(log_, sine, dict_, out_.found, unused);
    End(by_sine);
    out_.values_read = sine;

    Display(LookupKind::kName, [&](LookupDisplay& d, std::string& missing) {
      std::string match = d.FirstLine();
      findAgentByName(log_, match, dict_, out_.found, missing);
    });
    Display(LookupKind::kDiAc, [&](LookupDisplay& d, std::string& missing) {
      findAgentByDIAC(log_, d, dict_, out_.found, missing, file_);
    });
    Display(LookupKind::kCi, [&](LookupDisplay& d, std::string& missing) {
      findAgentByCI(log_, d, dict_, out_.found, missing);
    });
    Display(LookupKind::kDiX, [&](LookupDisplay& d, std::string& missing) {
      findAgentByDIX(log_, d, dict_, out_.found, missing, file_);
    });
  }

 private:
  LookupFinding& Begin(LookupKind kind) {
    out_.lookups.push_back({kind, "", {}});
    first_new_ = out_.found.size();
    return out_.lookups.back();
  }

  // The rows found since Begin are the kind's; a kind that found some joins the found-by text.
  void End(LookupFinding& finding) {
    finding.rows.assign(out_.found.begin() + static_cast<std::ptrdiff_t>(first_new_),
                        out_.found.end());
    if (finding.rows.empty()) return;
    if (!out_.found_by.empty()) out_.found_by += ",";
    out_.found_by += LookupKindWord(finding.kind);
  }

  template <typename Search>
  void Display(LookupKind kind, Search search) {
    LookupDisplay& display = view_.Show(kind);
    log_.Reading(kind);
    LookupFinding& finding = Begin(kind);
    std::string missing;
    search(display, missing);
    finding.value_read = missing;
    out_.values_read += "," + missing;
    End(finding);
  }

  const AgentTable& dict_;
  const std::string& file_;
  PnrView& view_;
  IdentificationLog& log_;
  FileIdentification& out_;
  size_t first_new_ = 0;
};

}  // namespace

std::string_view LookupKindWord(LookupKind kind) {
  switch (kind) {
    case LookupKind::kSine:
      return "SINE";
    case LookupKind::kName:
      return "NAME";
    case LookupKind::kDiAc:
      return "DI.AC";
    case LookupKind::kCi:
      return "CI";
    case LookupKind::kDiX:
      return "DI.X";
  }
  return "";
}

PnrIdentification IdentifyPnr(const AgentMapping& mapping, const std::vector<clsFromQueue>& rows,
                              const std::string& sine, PnrView& view, IdentificationLog& log) {
  PnrIdentification result;
  for (const clsFromQueue& row : rows) {
    if (row.fldAddNote) result.notes.push_back(row.fldNotePad);
    FileIdentification& file = result.files.emplace_back();
    file.task_row = row;
    log.CheckingFile(row);
    const AgentTable* dict = mapping.Find(row.fldMappingFileName);
    if (dict == nullptr) {
      // Start-up loads every mapping file a task names; a row without its table finds nobody.
      log.NoTable(row);
      file.values_read = sine + ",,,,";
      continue;
    }
    file.has_table = true;
    FileSearch(*dict, row, view, log, file).Run(sine);
  }
  return result;
}

}  // namespace ambervale

#pragma once

// Which agents own a PNR: the lookups of one source queue's task rows over the PNR's sine,
// name, DI.AC, CI and DI.X, as the distribution run makes them, with what each lookup read and
// matched. The run, --explain and any pass that must only look use this one function; they
// differ in the PnrView they hand in (the host's displays, or fields given on the command
// line) and in the IdentificationLog (the run's logs, or nothing).
//
// For every task row, in order: the row's mapping file is searched by sine (only when the
// table has the sine as an identifier), then the name ("*P"), DI.AC ("*DI"), CI ("*CI") and
// DI.X ("*DI" again) displays are shown and searched, whatever the table holds. A row whose
// mapping file has no table searches nothing and shows nothing. Only the last row decides
// where the PNR goes; notepad texts are gathered from every row.

#include <string>
#include <string_view>
#include <vector>

#include "config/agent_lookup.h"
#include "config/lookup_display.h"
#include "model/rows.h"

namespace ambervale {

enum class LookupKind { kSine, kName, kDiAc, kCi, kDiX };

// "SINE", "NAME", "DI.AC", "CI", "DI.X": the words of the found-by text.
[[nodiscard]] std::string_view LookupKindWord(LookupKind kind);

// The PNR as the lookups see it.
class PnrView {
 public:
  virtual ~PnrView() = default;
  // Shows the display of `kind` ("*P", "*DI", "*CI", "*DI"; never kSine) and returns it. The
  // display stays valid until the next call.
  virtual LookupDisplay& Show(LookupKind kind) = 0;
};

// Where the identification reports, besides the lookups' own reports.
class IdentificationLog : public LookupLog {
 public:
  // A task row's mapping file is about to be searched.
  virtual void CheckingFile(const clsFromQueue& /*row*/) {}
  // The row's mapping file has no loaded table: it finds nobody.
  virtual void NoTable(const clsFromQueue& /*row*/) {}
  // The display of `kind` has just been shown.
  virtual void Reading(LookupKind /*kind*/) {}
};

// What one lookup kind read and matched in one mapping file.
struct LookupFinding {
  LookupKind kind = LookupKind::kSine;
  // What the PNR showed for the kind (the sine itself for kSine; empty when nothing was read).
  std::string value_read;
  std::vector<clsAgentQueue> rows;  // the rows it matched, in order
};

// One task row's mapping file.
struct FileIdentification {
  clsFromQueue task_row;
  bool has_table = false;
  std::vector<LookupFinding> lookups;  // SINE, NAME, DI.AC, CI, DI.X; none without a table
  AgentCollection found;               // every row matched, in the order found
  std::string found_by;                // the kinds that found agents, joined by ","
  // The sine, then "," + what the NAME, DI.AC, CI and DI.X lookups read: five fields, as the
  // Fail Queue Log keeps them.
  std::string values_read;
};

struct PnrIdentification {
  std::vector<FileIdentification> files;  // one per task row, in order
  std::vector<std::string> notes;         // fldNotePad of every row that adds a note
  // The last row's file: the one that decides. Needs at least one task row.
  const FileIdentification& deciding() const { return files.back(); }
};

// `rows` is a task's rows (at least one); `sine` the agent sine of the PNR's locator line.
[[nodiscard]] PnrIdentification IdentifyPnr(const AgentMapping& mapping,
                                            const std::vector<clsFromQueue>& rows,
                                            const std::string& sine, PnrView& view,
                                            IdentificationLog& log);

}  // namespace ambervale

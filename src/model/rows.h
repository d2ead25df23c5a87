#pragma once

// The row classes of the configuration files and of the Fail Queue Log, and the tables built
// from them. Plain values; the loaders fill them and the runs only read them.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ordered_dict.h"

namespace ambervale {

// One Task Maintenance row: a source queue to empty (distribution mode) or a PCC whose
// unticketed PNRs are queued (unticketed mode). Fields the mode does not read keep their
// initial values.
struct clsFromQueue {
  std::string fldFmPCC;
  std::string fldMappingFileName;
  int16_t fldFmQueueNo = 0;
  bool fldAddNote = false;
  std::string fldNotePad;
  std::string fldAirline;
  int16_t fldDays = 0;
  std::string fldFmCategory;
  int line_number = 0;  // line of the Task Maintenance file the row came from (1-based)
};

// One agent mapping row.
struct clsAgentQueue {
  std::string fldAgentName;
  std::string fldAgentSine;
  std::string fldDestPCC;
  int16_t fldQueueNo = 0;
  std::string fldCatagory;
  std::string fldDistributedBy;
  std::string fldPrefix_agent_Sine;
  std::string fldDI_AC;
  std::string fldCI;
  std::string fldDI_X_QD;
  int line_number = 0;  // line of the mapping file the row came from (1-based)

  // The row's identifier, by "DISTRIBUTED BY" compared ignoring case: SINE -> sine,
  // NAME -> name, DI.AC, CI, DI.X -> their values; anything else -> empty. (Mapping files are
  // never loaded in the unticketed mode, where the identifier is empty.)
  std::string fldAgentId() const;
};

// One row of the Fail Queue Log (columns 1 to 5).
struct clsFailQueue {
  std::string fldFmFailPCC;
  std::string fldFmFailQueueNo;
  int16_t fldToFailQueueNo = 0;
  std::string fldFailQueueCategory;
  std::string fldFailPNR;
};

// dictFmtoMapping: task key -> the rows with that key, in file order.
using TaskTable = OrderedDict<std::vector<clsFromQueue>>;
// One mapping file: fldAgentId -> that file's rows with the identifier, in file order.
using AgentTable = OrderedDict<std::vector<clsAgentQueue>>;
// dictAgentMapping: mapping file name (as in the Task Maintenance file) -> its table.
using AgentMapping = OrderedDict<AgentTable>;
// dictFailQueueMapping: PCC + "#" + PNR -> Fail Queue Log rows.
using FailQueueTable = OrderedDict<std::vector<clsFailQueue>>;

}  // namespace ambervale

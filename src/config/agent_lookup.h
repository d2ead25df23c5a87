#pragma once

// Finding the agents that own a PNR, one identifier kind at a time, in one mapping file's
// table (a per-file dictionary of dictAgentMapping), and the two questions the start-up checks
// ask about a table. Tables are walked in the order their identifiers first appeared and,
// within an identifier, in row order; only rows whose "DISTRIBUTED BY" (ignoring case) names
// the lookup's kind take part.
//
// Tables are expected as the loader builds them: every row filed under its own fldAgentId.
//
// Every match is appended to `clnAgent` (nothing is removed) and reported to `log` (the run
// writes "<kind> is matched: HOST Resopnse- " + the text that matched to its run log).
// `MissingValues` receives what the PNR showed for the kind, for the caller's fail records.
//
// The display lookups read a LookupDisplay of the PNR, each line cleaned of markup and
// trimmed; the caller has shown the display. The DI lookups page a long display themselves.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/lookup_display.h"
#include "form/frm_main.h"
#include "model/rows.h"

namespace ambervale {

// The rows a lookup found, in the order found.
using AgentCollection = std::vector<clsAgentQueue>;

// A DI lookup pages at most this many times ("MR") for one mapping row. A display that is
// still full after that is taken as not holding the row's value (and the log is told),
// so a host that never stops paging cannot hold the run.
inline constexpr int kMaxPagesPerRow = 50;

// SINE rows whose sine equals `match` ignoring case. MissingValues is left alone.
void findAgentBySine(LookupLog& log, std::string_view match, const AgentTable& dict,
                     AgentCollection& clnAgent, std::string& MissingValues);

// NAME rows whose name occurs in `match` (ignoring case) as a word: the first occurrence only,
// refused when an upper-case letter A-Z stands right before it or right after it, except that
// a name ending at the last or last-but-one character of `match` is taken without looking at
// its neighbours. `match` is cleaned of markup in place; MissingValues receives it once per
// NAME row examined.
void findAgentByName(LookupLog& log, std::string& match, const AgentTable& dict,
                     AgentCollection& clnAgent, std::string& MissingValues);

// DI.AC rows: a line whose characters 6-13 are "AC ACCT-" and whose trimmed text from
// character 14 matches the row's value as a wildcard pattern. `file_name` names the table when
// the paging limit is reported.
void findAgentByDIAC(LookupLog& log, LookupDisplay& screen, const AgentTable& dict,
                     AgentCollection& clnAgent, std::string& MissingValues,
                     std::string_view file_name = "");

// CI rows: a line starting "CUST-" whose trimmed text from character 6 matches the pattern.
void findAgentByCI(LookupLog& log, LookupDisplay& screen, const AgentTable& dict,
                   AgentCollection& clnAgent, std::string& MissingValues);

// DI.X rows: only the first DI.X line ("X?QD-" at characters 6-10, value from 11, or "X?QD"
// at 6-9, value from 10) that the row's scan sees can match.
void findAgentByDIX(LookupLog& log, LookupDisplay& screen, const AgentTable& dict,
                    AgentCollection& clnAgent, std::string& MissingValues,
                    std::string_view file_name = "");

// True when the first row of some identifier sends PNRs to `sFailQueueNo`, written as the
// queue number, or queue number + "/" + category. Leaves the last identifier's first row in
// form.ToAgent.
[[nodiscard]] bool ReadQueueCatFromMapping(frmMain& form, const AgentTable& oAgent,
                                           std::string_view sFailQueueNo = "");

// The distinct destination PCCs of the identifiers' first rows joined by "," (a PCC contained
// in an earlier one is not listed again); adds their number to DiffMappPCC (saturating at the
// type's maximum). Leaves the last identifier's first row in form.ToAgent.
[[nodiscard]] std::string ReadPCCFromMapping(frmMain& form, const AgentTable& oAgent,
                                             int16_t& DiffMappPCC);
[[nodiscard]] std::string ReadPCCFromMapping(frmMain& form, const AgentTable& oAgent);

// The workstation's sign-on identity ([AGENT] ID).
[[nodiscard]] std::string GetAgentID(const FormSettings& form);

}  // namespace ambervale

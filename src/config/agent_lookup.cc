#include "config/agent_lookup.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "config/config_csv.h"
#include "config/like.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {
namespace {

constexpr std::string_view kMatched = " is matched: HOST Resopnse- ";

// Characters `start` (1-based) on, at most `length`, without copying; empty out of range.
std::string_view MidView(std::string_view s, int start, int length = -1) {
  if (start < 1 || static_cast<size_t>(start) > s.size()) return {};
  const std::string_view rest = s.substr(static_cast<size_t>(start) - 1);
  return length < 0 ? rest : rest.substr(0, static_cast<size_t>(length));
}

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

void LogMatch(frmMain& form, std::string_view kind, std::string_view text) {
  std::string line(kind);
  line.append(kMatched);
  line.append(text);
  form.AddActionLog(line, kRunLogPrefix, true);
}

// The lines of the last response, cleaned and trimmed, read once per screen: the screen
// changes only when an entry is sent.
class Screen {
 public:
  explicit Screen(HostLayer& host) : host_(host) { Read(); }

  int count() const { return static_cast<int>(lines_.size()); }
  const std::string& line(int j) const { return lines_[static_cast<size_t>(j)]; }

  // The next part of a long display.
  void Page() {
    host_.sendTECommand("MR");
    Read();
  }

 private:
  void Read() {
    lines_.clear();
    const int16_t n = host_.GetResponseLineCount();
    for (int16_t i = 0; i < n; ++i) {
      std::string text = host_.GetResponseLine(i);
      CleanResponseText(text);
      lines_.push_back(Trim(text));
    }
  }

  HostLayer& host_;
  std::vector<std::string> lines_;
};

// One row's scan of a DI display: lines 0 to n of the first screen (n fixed), paging with
// "MR" whenever the last line of a screen is reached, holds text and did not match. True when
// `test` matched a line.
template <typename LineTest>
bool ScanDiDisplay(frmMain& form, Screen& screen, const clsAgentQueue& row, std::string_view kind,
                   std::string_view file_name, LineTest test) {
  const int n = screen.count() - 1;
  int pages = 0;
  for (int j = 0; j <= n; ++j) {
    if (j == screen.count()) return false;
    if (test(screen.line(j))) return true;
    if (j == screen.count() - 1 && !screen.line(j).empty()) {
      if (pages == kMaxPagesPerRow) {
        WriteProblemLine(form, "The DI display was still going on after " +
                                   std::to_string(kMaxPagesPerRow) + " MR entries for the " +
                                   std::string(kind) + " row " + Quoted(row.fldAgentId()) + " of " +
                                   std::string(file_name.empty() ? "the mapping file" : file_name) +
                                   " line " + std::to_string(row.line_number) +
                                   "; the row is taken as not matched");
        return false;
      }
      screen.Page();
      ++pages;
      j = -1;
    }
  }
  return false;
}

// Calls `visit` for every row distributed by `kind`, in table order.
template <typename Visit>
void ForEachRow(const AgentTable& dict, std::string_view kind, Visit visit) {
  for (const auto& entry : dict) {
    for (const clsAgentQueue& row : entry.second) {
      if (EqualsNoCase(row.fldDistributedBy, kind)) visit(row);
    }
  }
}

// Position (1-based) of the first `name` in `upper_text` ignoring case; 0 when none.
// `upper_text` is already in upper case.
size_t FindUpper(std::string_view upper_text, std::string_view name) {
  const auto it =
      std::search(upper_text.begin(), upper_text.end(), name.begin(), name.end(),
                  [](char text_char, char name_char) { return text_char == UpperChar(name_char); });
  return it == upper_text.end() ? 0 : static_cast<size_t>(it - upper_text.begin()) + 1;
}

}  // namespace

void findAgentBySine(frmMain& form, std::string_view match, const AgentTable& dict,
                     AgentCollection& clnAgent, [[maybe_unused]] std::string& MissingValues) {
  ForEachRow(dict, "SINE", [&](const clsAgentQueue& row) {
    if (!EqualsNoCase(row.fldAgentSine, match)) return;
    LogMatch(form, "AGENT Sine", match);
    clnAgent.push_back(row);
  });
}

void findAgentByName(frmMain& form, std::string& match, const AgentTable& dict,
                     AgentCollection& clnAgent, std::string& MissingValues) {
  // Cleaning is repeated for every NAME row; once it changes nothing, it never will again.
  bool clean = false;
  std::string upper;
  ForEachRow(dict, "NAME", [&](const clsAgentQueue& row) {
    if (!clean) {
      const std::string before = match;
      CleanResponseText(match);
      clean = before == match;
      upper = UCase(match);
    }
    MissingValues = match;
    const std::string& name = row.fldAgentName;
    if (name.empty()) return;  // an empty name would stand in every text
    const size_t pos = FindUpper(upper, name);
    if (pos == 0) return;
    const size_t end = pos + name.size();  // 1-based position just after the name
    if (match.size() > end) {
      if (IsUpperLetter(match[end - 1])) return;
      if (pos > 1 && IsUpperLetter(match[pos - 2])) return;
    }
    LogMatch(form, "AGENT name", match);
    clnAgent.push_back(row);
  });
}

void findAgentByDIAC(frmMain& form, HostLayer& host, const AgentTable& dict,
                     AgentCollection& clnAgent, std::string& MissingValues,
                     std::string_view file_name) {
  std::optional<Screen> screen;
  ForEachRow(dict, "DI.AC", [&](const clsAgentQueue& row) {
    if (!screen) screen.emplace(host);
    const bool matched =
        ScanDiDisplay(form, *screen, row, "DI.AC", file_name, [&](const std::string& line) {
          if (MidView(line, 6, 8) != "AC ACCT-") return false;
          MissingValues = MidView(line, 14);
          if (!Like(TrimView(MidView(line, 14)), row.fldDI_AC)) return false;
          LogMatch(form, "DI.AC field", line);
          return true;
        });
    if (matched) clnAgent.push_back(row);
  });
}

void findAgentByCI(frmMain& form, HostLayer& host, const AgentTable& dict,
                   AgentCollection& clnAgent, std::string& MissingValues) {
  std::optional<Screen> screen;
  ForEachRow(dict, "CI", [&](const clsAgentQueue& row) {
    if (!screen) screen.emplace(host);
    for (int j = 0; j < screen->count(); ++j) {
      const std::string& line = screen->line(j);
      if (MidView(line, 1, 5) != "CUST-") continue;
      MissingValues = MidView(line, 6);
      if (!Like(TrimView(MidView(line, 6)), row.fldCI)) continue;
      LogMatch(form, "CI. field", line);
      clnAgent.push_back(row);
      return;
    }
  });
}

void findAgentByDIX(frmMain& form, HostLayer& host, const AgentTable& dict,
                    AgentCollection& clnAgent, std::string& MissingValues,
                    std::string_view file_name) {
  std::optional<Screen> screen;
  ForEachRow(dict, "DI.X", [&](const clsAgentQueue& row) {
    if (!screen) screen.emplace(host);
    int dix_lines = 0;
    const bool matched =
        ScanDiDisplay(form, *screen, row, "DI.X", file_name, [&](const std::string& line) {
          int value_start = 0;
          if (Like(MidView(line, 6, 5), "X*QD-")) {
            value_start = 11;
          } else if (Like(MidView(line, 6, 4), "X*QD")) {
            value_start = 10;
          } else {
            return false;
          }
          if (++dix_lines != 1) return false;
          MissingValues = MidView(line, value_start);
          if (!Like(TrimView(MidView(line, value_start)), row.fldDI_X_QD)) return false;
          LogMatch(form, "DI.AC field", line);
          return true;
        });
    if (matched) clnAgent.push_back(row);
  });
}

bool ReadQueueCatFromMapping(frmMain& form, const AgentTable& oAgent,
                             std::string_view sFailQueueNo) {
  bool found = false;
  for (const auto& [id, rows] : oAgent) {
    if (rows.empty()) continue;
    const clsAgentQueue& first = rows.front();
    const std::string category = Trim(first.fldCatagory);
    std::string queue = std::to_string(first.fldQueueNo);
    if (!category.empty()) queue += "/" + category;
    if (queue == sFailQueueNo) found = true;
  }
  if (!oAgent.empty() && !oAgent.at(oAgent.size() - 1).second.empty()) {
    form.ToAgent = oAgent.at(oAgent.size() - 1).second.front();
  }
  return found;
}

std::string ReadPCCFromMapping(frmMain& form, const AgentTable& oAgent, int16_t& DiffMappPCC) {
  std::string list;
  for (const auto& [id, rows] : oAgent) {
    if (rows.empty()) continue;
    const std::string pcc = Trim(rows.front().fldDestPCC);
    if (InStr(list, pcc) != 0) continue;
    list += pcc + ",";
    if (DiffMappPCC < std::numeric_limits<int16_t>::max()) ++DiffMappPCC;
  }
  if (!oAgent.empty() && !oAgent.at(oAgent.size() - 1).second.empty()) {
    form.ToAgent = oAgent.at(oAgent.size() - 1).second.front();
  }
  return list.size() > 1 ? list.substr(0, list.size() - 1) : "";
}

std::string ReadPCCFromMapping(frmMain& form, const AgentTable& oAgent) {
  int16_t scratch = 0;
  return ReadPCCFromMapping(form, oAgent, scratch);
}

std::string GetAgentID(const frmMain& form) { return form.strAgentID; }

}  // namespace ambervale

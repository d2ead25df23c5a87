#include "config/agent_lookup.h"

#include <bitset>
#include <limits>

#include "config/like.h"
#include "host/host_layer.h"
#include "platform/classic_text.h"

namespace ambervale {
namespace {

// Characters `start` (1-based) on, at most `length`, without copying; empty out of range.
std::string_view MidView(std::string_view s, int start, int length = -1) {
  if (start < 1 || static_cast<size_t>(start) > s.size()) return {};
  const std::string_view rest = s.substr(static_cast<size_t>(start) - 1);
  return length < 0 ? rest : rest.substr(0, static_cast<size_t>(length));
}

bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

// UpperChar as a table: the name search compares every character of the PNR text.
class UpperTable {
 public:
  UpperTable() {
    for (int c = 0; c < 256; ++c) upper_[c] = UpperChar(static_cast<char>(c));
  }
  char operator()(char c) const { return upper_[static_cast<unsigned char>(c)]; }

 private:
  char upper_[256];
};

const UpperTable& Upper() {
  static const UpperTable kTable;
  return kTable;
}

// `by` equals the ASCII word `kind` ignoring case (accented letters never equal ASCII ones).
bool KindIs(std::string_view by, std::string_view kind) {
  if (by.size() != kind.size()) return false;
  for (size_t i = 0; i < by.size(); ++i) {
    const char c = by[i];
    if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c) != kind[i]) return false;
  }
  return true;
}

// The wildcard test, without compiling a pattern that holds no wildcard: such a pattern
// matches only itself.
bool MatchesPattern(std::string_view text, std::string_view pattern) {
  if (pattern.find_first_of("?*#[") == std::string_view::npos) return text == pattern;
  return Like(text, pattern);
}

// Like(t, "X*QD-") and Like(t, "X*QD"): "X", any run of characters, then the tail.
bool IsDiXMark(std::string_view t, std::string_view tail) {
  return t.size() >= tail.size() + 1 && t.front() == 'X' &&
         t.substr(t.size() - tail.size()) == tail;
}

// One row's scan of a DI display: lines 0 to n of the first screen (n fixed), paging with
// "MR" whenever the last line of a screen is reached, holds text and did not match. True when
// `test` matched a line.
template <typename LineTest>
bool ScanDiDisplay(LookupLog& log, LookupDisplay& screen, const clsAgentQueue& row,
                   std::string_view kind, std::string_view file_name, LineTest test) {
  const int n = screen.count() - 1;
  int pages = 0;
  for (int j = 0; j <= n; ++j) {
    if (j == screen.count()) return false;
    if (test(screen.line(j))) return true;
    if (j == screen.count() - 1 && !screen.line(j).empty()) {
      if (pages == kMaxPagesPerRow) {
        log.PagingGaveUp(kind, row, file_name);
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
      if (KindIs(row.fldDistributedBy, kind)) visit(row);
    }
  }
}

// Position (1-based) of the first `name` in `upper_text` ignoring case; 0 when none.
// `upper_text` is already in upper case.
size_t FindUpper(std::string_view upper_text, std::string_view name) {
  if (name.empty()) return upper_text.empty() ? 0 : 1;
  const UpperTable& upper = Upper();
  const char first = upper(name.front());
  for (size_t p = upper_text.find(first);
       p != std::string_view::npos && p + name.size() <= upper_text.size();
       p = upper_text.find(first, p + 1)) {
    size_t i = 1;
    while (i < name.size() && upper_text[p + i] == upper(name[i])) ++i;
    if (i == name.size()) return p + 1;
  }
  return 0;
}

// Which characters and pairs of neighbouring characters an upper-case text holds: most names
// of a large table can be ruled out by their first two characters without a search.
class TextPairs {
 public:
  void Index(std::string_view upper_text) {
    chars_.reset();
    pairs_.reset();
    for (size_t i = 0; i < upper_text.size(); ++i) {
      chars_.set(Byte(upper_text[i]));
      if (i + 1 < upper_text.size()) pairs_.set(Pair(upper_text[i], upper_text[i + 1]));
    }
  }
  // False when `name` cannot occur in the text, ignoring case.
  bool MayHold(std::string_view name) const {
    const UpperTable& upper = Upper();
    if (name.size() == 1) return chars_.test(Byte(upper(name[0])));
    return name.size() < 2 || pairs_.test(Pair(upper(name[0]), upper(name[1])));
  }

 private:
  static unsigned Byte(char c) { return static_cast<unsigned char>(c); }
  static unsigned Pair(char a, char b) { return Byte(a) << 8 | Byte(b); }

  std::bitset<256> chars_;
  std::bitset<65536> pairs_;
};

}  // namespace

void findAgentBySine(LookupLog& log, std::string_view match, const AgentTable& dict,
                     AgentCollection& clnAgent, [[maybe_unused]] std::string& MissingValues) {
  for (const auto& [id, rows] : dict) {
    // A SINE row's identifier is its sine: other identifiers need no look at their rows.
    if (id.size() != match.size() || !EqualsNoCase(id, match)) continue;
    for (const clsAgentQueue& row : rows) {
      if (!KindIs(row.fldDistributedBy, "SINE") || !EqualsNoCase(row.fldAgentSine, match)) {
        continue;
      }
      log.Matched("AGENT Sine", match);
      clnAgent.push_back(row);
    }
  }
}

void findAgentByName(LookupLog& log, std::string& match, const AgentTable& dict,
                     AgentCollection& clnAgent, std::string& MissingValues) {
  // The text is cleaned again for every NAME row; once cleaning changes nothing it never will,
  // and from then on (MissingValues holding the text) only identifiers that occur in the text
  // need a look at their rows: a NAME row's identifier is its name.
  bool clean = false;
  bool settled = false;
  std::string upper;
  TextPairs pairs;
  for (const auto& [id, rows] : dict) {
    if (settled && (!pairs.MayHold(id) || FindUpper(upper, id) == 0)) continue;
    for (const clsAgentQueue& row : rows) {
      if (!KindIs(row.fldDistributedBy, "NAME")) continue;
      if (!clean) {
        const std::string before = match;
        CleanResponseText(&match);
        clean = before == match;
        upper = UCase(match);
        pairs.Index(upper);
      }
      MissingValues = match;
      settled = clean;
      const std::string& name = row.fldAgentName;
      if (name.empty()) continue;  // an empty name would stand in every text
      const size_t pos = FindUpper(upper, name);
      if (pos == 0) continue;
      const size_t end = pos + name.size();  // 1-based position just after the name
      if (match.size() > end) {
        if (IsUpperLetter(match[end - 1])) continue;
        if (pos > 1 && IsUpperLetter(match[pos - 2])) continue;
      }
      log.Matched("AGENT name", match);
      clnAgent.push_back(row);
    }
  }
}

void findAgentByDIAC(LookupLog& log, LookupDisplay& screen, const AgentTable& dict,
                     AgentCollection& clnAgent, std::string& MissingValues,
                     std::string_view file_name) {
  ForEachRow(dict, "DI.AC", [&](const clsAgentQueue& row) {
    const bool matched =
        ScanDiDisplay(log, screen, row, "DI.AC", file_name, [&](const std::string& line) {
          if (MidView(line, 6, 8) != "AC ACCT-") return false;
          MissingValues = MidView(line, 14);
          if (!MatchesPattern(TrimView(MidView(line, 14)), row.fldDI_AC)) return false;
          log.Matched("DI.AC field", line);
          return true;
        });
    if (matched) clnAgent.push_back(row);
  });
}

void findAgentByCI(LookupLog& log, LookupDisplay& screen, const AgentTable& dict,
                   AgentCollection& clnAgent, std::string& MissingValues) {
  ForEachRow(dict, "CI", [&](const clsAgentQueue& row) {
    for (int j = 0; j < screen.count(); ++j) {
      const std::string& line = screen.line(j);
      if (MidView(line, 1, 5) != "CUST-") continue;
      MissingValues = MidView(line, 6);
      if (!MatchesPattern(TrimView(MidView(line, 6)), row.fldCI)) continue;
      log.Matched("CI. field", line);
      clnAgent.push_back(row);
      return;
    }
  });
}

void findAgentByDIX(LookupLog& log, LookupDisplay& screen, const AgentTable& dict,
                    AgentCollection& clnAgent, std::string& MissingValues,
                    std::string_view file_name) {
  ForEachRow(dict, "DI.X", [&](const clsAgentQueue& row) {
    int dix_lines = 0;
    const bool matched =
        ScanDiDisplay(log, screen, row, "DI.X", file_name, [&](const std::string& line) {
          int value_start = 0;
          if (IsDiXMark(MidView(line, 6, 5), "QD-")) {
            value_start = 11;
          } else if (IsDiXMark(MidView(line, 6, 4), "QD")) {
            value_start = 10;
          } else {
            return false;
          }
          if (++dix_lines != 1) return false;
          MissingValues = MidView(line, value_start);
          if (!MatchesPattern(TrimView(MidView(line, value_start)), row.fldDI_X_QD)) return false;
          log.Matched("DI.AC field", line);
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

std::string GetAgentID(const FormSettings& form) { return form.strAgentID; }

}  // namespace ambervale

#include "distribution/move_entries.h"

#include "host/record_locator.h"
#include "platform/classic_text.h"

namespace ambervale {

std::string ReplaceFirst(std::string_view text, std::string_view find, std::string_view with,
                         size_t count) {
  std::string out;
  size_t start = 0;
  for (size_t done = 0; done < count && !find.empty(); ++done) {
    const size_t at = text.find(find, start);
    if (at == std::string_view::npos) break;
    out.append(text.substr(start, at - start));
    out.append(with);
    start = at + find.size();
  }
  out.append(text.substr(start));
  return out;
}

std::string BuildDestinationList(const std::vector<clsAgentQueue>& found) {
  std::string list;
  for (const clsAgentQueue& agent : found) {
    list += agent.fldDestPCC + " Queue " + std::to_string(agent.fldQueueNo);
    if (!agent.fldCatagory.empty()) list += " Category " + agent.fldCatagory;
    list += kCrLf;
  }
  return list;
}

std::string DestinationLine(const std::vector<clsAgentQueue>& found, bool drop_last_break) {
  const size_t joins = found.empty() ? 0 : found.size() - 1;
  std::string line = ReplaceFirst(BuildDestinationList(found), kCrLf, ", ", joins);
  if (drop_last_break) line = ReplaceFirst(line, kCrLf, "", 1);
  return line;
}

std::string FailQueueEntry(const FormSettings& form, std::string_view pcc) {
  std::string entry = "QEB/" + std::string(pcc) + "/" + form.FailQueueNo;
  if (!Trim(form.FailQueueCategory).empty()) entry += "*" + form.FailQueueCategory;
  return entry;
}

std::string AgentQueue(const clsAgentQueue& agent) {
  std::string queue = agent.fldDestPCC + "/" + std::to_string(agent.fldQueueNo);
  if (!agent.fldCatagory.empty()) queue += "*" + agent.fldCatagory;
  return queue;
}

std::string BuildMoveEntry(const std::vector<clsAgentQueue>& found) {
  std::string entry = "QEB/";
  for (size_t k = 0; k < found.size(); ++k) {
    if (k > 0) entry += '+';
    entry += AgentQueue(found[k]);
  }
  return entry;
}

std::string ReferenceText(std::string_view screen) { return Trim(Mid(screen, 4, 24)); }

bool MoveConfirmed(HostLayer& host, std::string_view rloc, std::string_view reference) {
  if (ContainsNoCase(host.GetResponseLine(0), "ON QUEUE- " + std::string(rloc))) return true;
  return !reference.empty() && ContainsNoCase(host.GetResponseLine(1), reference);
}

ProgramEnd CheckMove(HostLayer& host, std::string_view rloc, std::string_view reference,
                     std::string* answer, MoveAnswer* result) {
  if (answer != nullptr) *answer = host.GetScreenText();
  *result = MoveAnswer::kConfirmed;
  if (MoveConfirmed(host, rloc, reference)) return ProgramEnd::GoOn();
  std::string now;
  if (ProgramEnd end = GetRLocByTeCommand(host, &now)) return end;
  *result = ShowsAnotherPnr(now, rloc) ? MoveAnswer::kHostWentOn : MoveAnswer::kNotMoved;
  return ProgramEnd::GoOn();
}

}  // namespace ambervale

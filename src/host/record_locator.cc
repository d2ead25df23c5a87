#include "host/record_locator.h"

#include "host/busy_retry.h"
#include "platform/classic_text.h"

namespace ambervale {

namespace {

// The record locator of the PNR on screen, as GetRLocByTeCommand describes it.
std::string ReadRLoc(HostLayer& host, std::string* agentsine) {
  const int16_t count = host.GetResponseLineCount();
  if (count >= 1) {
    const std::string first = host.GetResponseLine(0);
    if (ContainsNoCase(first, "NO B.F.")) return "NO B.F.";
    if (ContainsNoCase(first, "QUEUE EMPTY")) return "QUEUE EMPTY";
  }
  for (int16_t i = 0; i < count; ++i) {
    const std::string line = host.GetResponseLine(i);
    if (InStr(line, "/") != 7) continue;
    if (agentsine != nullptr) *agentsine = Mid(line, 8, 2);
    return Left(line, 6);
  }
  return "";
}

}  // namespace

ProgramEnd GetRLocByTeCommand(HostLayer& host, std::string* rloc, std::string* agentsine) {
  if (ProgramEnd end = SendEntry(host, "*R")) return end;
  *rloc = ReadRLoc(host, agentsine);
  return ProgramEnd::GoOn();
}

bool ShowsAnotherPnr(std::string_view now, std::string_view rloc) {
  if (now == "QUEUE EMPTY") return true;
  if (now.empty() || now == "NO B.F.") return false;
  return now != rloc;
}

}  // namespace ambervale

#include "host/busy_retry.h"

#include "platform/classic_text.h"

namespace ambervale {

bool IsBusyAnswer(HostLayer& host) {
  if (host.GetResponseLineCount() < 1) return false;
  return Contains(host.GetResponseLine(0), "PREVIOUS ENTRY IN PROGRESS");
}

ProgramEnd SendEntry(HostLayer& host, std::string_view entry) {
  if (ProgramEnd end = host.sendTECommand(entry)) return end;
  for (int resend = 0; resend < kBusyResends && IsBusyAnswer(host); ++resend) {
    if (ProgramEnd end = host.sendTECommand(entry)) return end;
  }
  return ProgramEnd::GoOn();
}

}  // namespace ambervale

#include "host/sign_on.h"

#include <string>

#include "host/busy_retry.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {

ProgramEnd SignOnCheck(frmMain& form, HostLayer& host, std::string_view agent_id, bool log_entries,
                       bool* signed_on) {
  const auto send = [&](const std::string& entry) {
    if (log_entries) form.AddActionLog("HOST Command: " + entry, kRunLogPrefix, true);
    return SendEntry(host, entry);
  };
  *signed_on = true;
  if (ProgramEnd end = send("QX+I")) return end;
  if (!ContainsNoCase(host.GetScreenText(), "SIGN IN")) return ProgramEnd::GoOn();
  if (ProgramEnd end = send("SON/" + std::string(agent_id))) return end;
  std::string state;
  if (ProgramEnd end = host.ConnectHost(&state)) return end;
  if (state != "OK") {
    *signed_on = false;
    return ProgramEnd::GoOn();
  }
  if (ProgramEnd end = send("QX+I")) return end;
  form.colReportLines.clear();
  return ProgramEnd::GoOn();
}

}  // namespace ambervale

#include "host/sign_on.h"

#include <string>

#include "host/busy_retry.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {

bool SignOnCheck(frmMain& form, HostLayer& host, std::string_view agent_id, bool log_entries) {
  const auto send = [&](const std::string& entry) {
    if (log_entries) form.AddActionLog("HOST Command: " + entry, kRunLogPrefix, true);
    SendEntry(host, entry);
  };
  send("QX+I");
  if (!ContainsNoCase(host.GetScreenText(), "SIGN IN")) return true;
  send("SON/" + std::string(agent_id));
  if (host.ConnectHost() != "OK") return false;
  send("QX+I");
  form.colReportLines.clear();
  return true;
}

}  // namespace ambervale

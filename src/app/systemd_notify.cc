#include "app/systemd_notify.h"

#include <systemd/sd-daemon.h>

#include <cstdlib>
#include <string>

#include "app/service_notifier.h"

namespace ambervale {

std::unique_ptr<ServiceStatus> NewServiceStatus(Env& env) {
  const char* socket = std::getenv("NOTIFY_SOCKET");
  if (socket == nullptr || *socket == '\0') return std::make_unique<NoServiceStatus>();
  return std::make_unique<ServiceNotifier>(env, [](const std::string& message) {
    // A message that cannot be sent changes nothing for the run; systemd hears the next one.
    (void)sd_notify(0, message.c_str());
  });
}

}  // namespace ambervale

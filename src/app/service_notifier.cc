#include "app/service_notifier.h"

#include <chrono>

namespace ambervale {

void ServiceNotifier::Status(std::string_view text) {
  if (sent_status_ == text) return;
  sent_status_ = std::string(text);
  send_("STATUS=" + *sent_status_);
}

void ServiceNotifier::Watchdog() {
  const TimePoint now = env_.Now();
  // A clock set back is no reason to fall silent: only a gap that is short and forward holds
  // the message back.
  if (last_watchdog_ && now >= *last_watchdog_ &&
      now - *last_watchdog_ < std::chrono::milliseconds(kWatchdogGapMs)) {
    return;
  }
  last_watchdog_ = now;
  send_("WATCHDOG=1");
}

}  // namespace ambervale

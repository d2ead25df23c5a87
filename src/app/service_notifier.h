#pragma once

// The service status in systemd's notify protocol: each call becomes one "KEY=value" message
// handed to `send` (the program gives it sd_notify; the tests a recorder).
//
//   Ready()          "READY=1"
//   Status(text)     "STATUS=<text>", unless the text is the one sent last
//   Watchdog()       "WATCHDOG=1", at most once per kWatchdogGapMs on the Env clock (the
//                    program calls it before every host entry, far more often than needed)
//
// `env` is not owned and must outlive the notifier. Single-threaded.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "form/service_status.h"
#include "platform/env.h"

namespace ambervale {

class ServiceNotifier final : public ServiceStatus {
 public:
  ServiceNotifier(Env& env, std::function<void(const std::string&)> send)
      : env_(env), send_(std::move(send)) {}

  void Ready() override { send_("READY=1"); }
  void Status(std::string_view text) override;
  void Watchdog() override;

  static constexpr int64_t kWatchdogGapMs = 1000;

 private:
  Env& env_;
  std::function<void(const std::string&)> send_;
  std::optional<std::string> sent_status_;
  std::optional<TimePoint> last_watchdog_;
};

}  // namespace ambervale

#pragma once

// The ServiceStatus seam: what the program tells a service manager (systemd) about itself. The
// program says once that start-up is through, shows its counters as a one-line status, and
// proves that it is alive at every timer tick and before every host entry, so a hung program
// can be restarted. Outside a service nothing listens and the no-op status is used.
//
// All calls come from the program's single thread. Texts are plain ASCII.

#include <string_view>

namespace ambervale {

class ServiceStatus {
 public:
  virtual ~ServiceStatus() = default;

  // Start-up is through: the timer runs (or the unticketed run starts).
  virtual void Ready() = 0;
  // The status line the service manager shows (the counters).
  virtual void Status(std::string_view text) = 0;
  // The program is alive. Called often; an implementation may drop calls that come too soon.
  virtual void Watchdog() = 0;
};

// Tells nobody anything.
class NoServiceStatus final : public ServiceStatus {
 public:
  void Ready() override {}
  void Status(std::string_view) override {}
  void Watchdog() override {}
};

}  // namespace ambervale

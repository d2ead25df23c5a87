#pragma once

// The in-process terminal: terminal objects that carry entries straight to a SimHost. Every
// object the factory creates attaches to the same host and session; creating one changes
// nothing in them.

#include <memory>

#include "host/terminal.h"
#include "sim/sim_host.h"

namespace ambervale::sim {

class SimTerminalFactory : public TerminalFactory {
 public:
  // `host` is not owned and must outlive the factory and every terminal it creates.
  explicit SimTerminalFactory(SimHost& host) : host_(host) {}

  std::unique_ptr<Terminal> Create(Status* error) override;

 private:
  SimHost& host_;
};

}  // namespace ambervale::sim

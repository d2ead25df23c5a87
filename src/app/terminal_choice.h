#pragma once

// How the program reaches the host, from the [Terminal] section of settings.ini:
//   Connection     = sim:<scenario file>   the simulated host, in-process (a relative path is
//                                          taken from the program's folder)
//                  | tcp:<host>:<port>     a host bridge speaking the network terminal protocol
//   StateFile      = <file>                in-process simulator only: the world outlives the
//                                          program in this file and its journal <file>.journal
//                                          (relative: program folder)
//   Today          = YYYY-MM-DD            in-process simulator only: its date, so that a
//                                          recorded scenario plays the same on any day
//   TimeoutSeconds = <n>                   network terminal connect and read time-out (60)
// A missing or unusable Connection gives a factory whose terminals cannot be created, so the
// sign-on reports "Error creating Tessiver Terminal Object" with the reason in the debug log.

#include <memory>
#include <string>

#include "host/terminal.h"
#include "platform/env.h"

namespace ambervale {

class TerminalChoice {
 public:
  virtual ~TerminalChoice() = default;
  virtual TerminalFactory& factory() = 0;
  // Writes what must outlive the program (the simulator's state file); called at an orderly
  // end. Safe to call more than once.
  virtual void Stop() = 0;
  // What makes the choice unusable, known without making a terminal (a bad [Terminal] section,
  // a scenario file that is not there); empty when nothing is. Connects to nothing, writes
  // nothing: the configuration check reports it.
  virtual std::string Problem() const = 0;
};

// Reads [Terminal] from `settings_path`. `env` must outlive the result.
std::unique_ptr<TerminalChoice> ChooseTerminal(const std::string& settings_path, Env& env);

}  // namespace ambervale

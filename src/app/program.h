#pragma once

// The whole program on one front end: the logs, frmMain, the alerts, the terminal choice, the
// host layer, the distribution run and the run cycle, built once and kept for the life of the
// process. The unticketed mode's tasks plug into the distribution through its UnticketedTasks
// seam. Run performs start-up (Form_Load), shows the window and runs the cycle until the
// window has closed, then stops the terminal choice (the simulator writes its state file).
//
// A start-up stop, a second copy, a fatal host failure and the end of the unticketed run come
// back to Run as an end of the program; Run cleans up as after an orderly end and returns the
// end's exit code, which main returns.

#include <iosfwd>
#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/front_end.h"
#include "app/run_cycle.h"
#include "app/terminal_choice.h"
#include "distribution/distribution.h"
#include "distribution/unticketed_run.h"
#include "form/frm_main.h"
#include "form/service_status.h"
#include "host/host_layer.h"
#include "host/session.h"
#include "logs/logs.h"
#include "mail/alerts.h"
#include "mail/mailer.h"
#include "platform/env.h"
#include "platform/single_instance.h"

namespace ambervale {

class Program {
 public:
  // Takes ownership of the pointers; `front_end` and `service_status` must have been built on
  // `*env`. Without a service status nobody is told how the program is.
  Program(std::unique_ptr<Env> env, std::unique_ptr<FrontEnd> front_end,
          std::unique_ptr<MailerFactory> mailers, const CommandLine& options,
          std::unique_ptr<ServiceStatus> service_status = nullptr);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The exit code: 0 after an orderly end, else the exit code of the end that came back.
  [[nodiscard]] int Run();

  // --what-if: start-up as Run's, then one what-if pass instead of the cycle, its summary
  // written to `out`. 0, or 1 when a task could not be walked, the rows could not be written or
  // the settings select the unticketed mode (which a what-if pass does not cover).
  [[nodiscard]] int WhatIf(std::ostream& out);

 private:
  std::unique_ptr<Env> env_;
  std::unique_ptr<FrontEnd> front_end_;
  std::unique_ptr<MailerFactory> mailers_;
  std::unique_ptr<ServiceStatus> service_status_;
  Logs logs_;
  frmMain form_;
  Alerts alerts_;
  std::unique_ptr<TerminalChoice> terminals_;
  HostLayer host_;
  Session session_;
  UnticketedRun unticketed_;
  Distribution distribution_;
  RunCycle cycle_;
  std::optional<SingleInstanceLock> instance_lock_;
  // The what-if pass asked of the cycle's one run instead of MoveQueue; null for a normal run.
  std::ostream* what_if_out_ = nullptr;
  int what_if_exit_ = 0;

  ProgramEnd MoveQueueOrWhatIf();
  ProgramEnd WhatIfPass();
};

}  // namespace ambervale

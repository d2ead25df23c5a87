#include "app/program.h"

#include <ostream>

#include "app/form_load.h"
#include "distribution/what_if_report.h"
#include "platform/files.h"

namespace ambervale {

Program::Program(std::unique_ptr<Env> env, std::unique_ptr<FrontEnd> front_end,
                 std::unique_ptr<MailerFactory> mailers, const CommandLine& options,
                 std::unique_ptr<ServiceStatus> service_status)
    : env_(std::move(env)),
      front_end_(std::move(front_end)),
      mailers_(std::move(mailers)),
      service_status_(std::move(service_status)),
      logs_(*env_, JoinPath(env_->ProgramFolder(), "logs")),
      form_(*env_, front_end_->window(), logs_),
      alerts_(form_, *mailers_),
      terminals_(ChooseTerminal(form_.SettingsPath(), *env_)),
      host_(form_, alerts_, terminals_->factory()),
      session_{form_, alerts_, host_},
      unticketed_(session_),
      distribution_(session_, &unticketed_),
      cycle_(form_, *front_end_, [this] { return MoveQueueOrWhatIf(); }) {
  cycle_.set_max_runs(options.runs);
  form_.set_service_status(service_status_.get());
  // The console window's answers given without asking belong in the action log.
  front_end_->SetNoteHook([this](std::string_view line) { form_.AddActionLog(line); });
}

int Program::Run() {
  int exit_code = 0;
  if (const ProgramEnd end = Form_Load(form_, host_, cycle_, instance_lock_)) {
    exit_code = end.exit_code();
  } else {
    if (!cycle_.unloaded()) front_end_->Show();
    exit_code = front_end_->loop().Exec();
    // A run that ended the program has quit the loop with its exit code.
    if (cycle_.end()) exit_code = cycle_.end().exit_code();
  }
  terminals_->Stop();
  return exit_code;
}

int Program::WhatIf(std::ostream& out) {
  what_if_out_ = &out;
  if (const ProgramEnd end = Form_Load(form_, host_, cycle_, instance_lock_)) {
    what_if_exit_ = end.exit_code();
  } else if (cycle_.runs() == 0) {
    // In the unticketed mode start-up has asked the cycle for its one run already.
    if (const ProgramEnd pass_end = WhatIfPass()) what_if_exit_ = pass_end.exit_code();
  }
  terminals_->Stop();
  return what_if_exit_;
}

ProgramEnd Program::MoveQueueOrWhatIf() {
  if (what_if_out_ == nullptr) return distribution_.MoveQueue();
  return WhatIfPass();
}

ProgramEnd Program::WhatIfPass() {
  std::ostream& out = *what_if_out_;
  if (form_.IsUnticketedMode()) {
    out << "--what-if: the settings select the unticketed mode; a what-if pass walks the "
           "distribution's queues only\n";
    what_if_exit_ = 1;
    return ProgramEnd::GoOn();
  }
  WhatIfReport report(form_, form_.files());
  if (ProgramEnd end = distribution_.WhatIf(report)) return end;
  out << report.Summary();
  what_if_exit_ = report.all_walked() && report.write_problem().empty() ? 0 : 1;
  return ProgramEnd::GoOn();
}

}  // namespace ambervale

#include "app/program.h"

#include "app/form_load.h"
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
      cycle_(form_, *front_end_, [this] { distribution_.MoveQueue(); }) {
  cycle_.set_max_runs(options.runs);
  form_.set_service_status(service_status_.get());
  // The console window's answers given without asking belong in the action log.
  front_end_->SetNoteHook([this](std::string_view line) { form_.AddActionLog(line); });
}

int Program::Run() {
  Form_Load(form_, host_, cycle_, instance_lock_);
  if (!cycle_.unloaded()) front_end_->Show();
  const int exit_code = front_end_->loop().Exec();
  terminals_->Stop();
  return exit_code;
}

}  // namespace ambervale

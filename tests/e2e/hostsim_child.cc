#include "tests/e2e/hostsim_child.h"

#include <signal.h>

#include <string_view>

#include "platform/classic_text.h"
#include "tests/e2e/program_folder.h"

namespace ambervale::e2e {

std::unique_ptr<HostsimChild> HostsimChild::Start(const std::string& scenario,
                                                  const std::string& state_file, Status* error) {
  ChildOptions options;
  options.args = {"--scenario", scenario, "--state-out", state_file, "--listen", "127.0.0.1:0"};
  options.stderr_file = state_file + ".stderr";
  std::unique_ptr<ChildProcess> child = ChildProcess::Start(kHostsim, options, error);
  if (child == nullptr) return nullptr;
  constexpr std::string_view kListening = "listening on 127.0.0.1:";
  const std::optional<std::string> line = child->ReadStdoutLine(10000);
  const std::optional<int32_t> port = line && line->starts_with(kListening)
                                          ? ToInt32(line->substr(kListening.size()))
                                          : std::nullopt;
  if (!port || *port <= 0 || *port > 65535) {
    *error = Status::Error("ambervale-hostsim did not report its port; it wrote \"" +
                           line.value_or("") + "\"");
    return nullptr;
  }
  *error = Status::Ok();
  return std::unique_ptr<HostsimChild>(
      new HostsimChild(std::move(child), static_cast<uint16_t>(*port)));
}

int HostsimChild::Stop() {
  child_->Signal(SIGTERM);
  return child_->Wait(10000).value_or(-1);
}

}  // namespace ambervale::e2e

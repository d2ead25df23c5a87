#include "sim/hostsim_app.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/env.h"
#include "platform/files.h"
#include "sim/day_month.h"
#include "sim/host_server.h"
#include "sim/sim_host.h"

namespace ambervale::sim {

const char kHostsimUsage[] =
    "usage: ambervale-hostsim --scenario FILE --listen 127.0.0.1:PORT [--state-out FILE]\n"
    "                         [--today YYYY-MM-DD] [--verbose]\n"
    "  Serves the simulated Vantora host over TCP. PORT 0 picks a free port; the server\n"
    "  prints \"listening on 127.0.0.1:<port>\" when ready. With --state-out the world is\n"
    "  kept in FILE and its journal FILE.journal (loaded instead of the scenario when FILE\n"
    "  exists; delete both to start afresh). --today fixes the simulator's date for\n"
    "  {today+-N}, *R and LD. SIGTERM or SIGINT stop the server after writing the state file.\n";

bool ParseHostsimArgs(const std::vector<std::string>& args, HostsimOptions* options,
                      std::string* error) {
  std::string today;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string* value = nullptr;
    if (a == "--scenario") value = &options->scenario;
    if (a == "--listen") value = &options->listen;
    if (a == "--state-out") value = &options->state_out;
    if (a == "--today") value = &today;
    if (value != nullptr) {
      if (i + 1 == args.size() || args[i + 1].empty()) {
        *error = a + " needs a value";
        return false;
      }
      *value = args[++i];
    } else if (a == "--verbose") {
      options->verbose = true;
    } else if (a == "--help" || a == "-h") {
      options->help = true;
    } else {
      *error = "unknown argument \"" + a + "\"";
      return false;
    }
  }
  if (options->help) return true;
  if (!today.empty()) {
    options->today = ParseIsoDate(today);
    if (!options->today) {
      *error = "--today \"" + today + "\" is not a date (YYYY-MM-DD)";
      return false;
    }
  }
  if (options->scenario.empty()) {
    *error = "--scenario is required";
    return false;
  }
  if (options->listen.empty()) {
    *error = "--listen is required";
    return false;
  }
  return true;
}

namespace {

// SIGTERM and SIGINT, blocked and readable on a descriptor, so the poll loop sees them.
class StopSignals {
 public:
  StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    fd_ = ::signalfd(-1, &set, SFD_CLOEXEC);
  }
  ~StopSignals() {
    if (fd_ >= 0) ::close(fd_);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

}  // namespace

int RunHostsim(const HostsimOptions& options, std::ostream& out, std::ostream& err) {
  const StopSignals signals;
  if (signals.fd() < 0) {
    err << "ambervale-hostsim: signalfd failed: " << std::strerror(errno) << "\n";
    return 1;
  }
  ::signal(SIGPIPE, SIG_IGN);
  std::unique_ptr<Env> env = NewSystemEnv();
  const std::string state = options.state_out.empty() ? "" : AbsolutePath(options.state_out);
  Status status;
  HostOptions host_options;
  host_options.today = options.today;
  std::unique_ptr<SimHost> host =
      SimHost::Open(options.scenario, state, *env, &status, host_options);
  if (!host) {
    err << "ambervale-hostsim: " << status.message() << "\n";
    return 1;
  }
  for (const std::string& note : host->notes()) err << "ambervale-hostsim: " << note << "\n";
  std::unique_ptr<HostServer> server = HostServer::Listen(*host, options.listen, &status);
  if (!server) {
    err << "ambervale-hostsim: " << status.message() << "\n";
    return 1;
  }
  const std::string address = options.listen.substr(0, options.listen.rfind(':'));
  out << "listening on " << address << ":" << server->port() << std::endl;
  const Status served = server->Run(signals.fd(), options.verbose, err);
  server.reset();
  const Status saved = host->Stop();
  for (const Status& s : {served, saved}) {
    if (!s.ok()) err << "ambervale-hostsim: " << s.message() << "\n";
  }
  return served.ok() && saved.ok() ? 0 : 1;
}

}  // namespace ambervale::sim

#include "app/terminal_choice.h"

#include <iostream>

#include "host/network_terminal.h"
#include "platform/classic_text.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "sim/day_month.h"
#include "sim/sim_host.h"
#include "sim/sim_terminal.h"

namespace ambervale {
namespace {

constexpr int kDefaultTimeoutSeconds = 60;

// Every terminal fails with the same reason.
class FailingFactory : public TerminalFactory, public TerminalChoice {
 public:
  explicit FailingFactory(std::string reason) : reason_(std::move(reason)) {}
  std::unique_ptr<Terminal> Create(Status* error) override {
    if (error != nullptr) *error = Status::Error(reason_);
    return nullptr;
  }
  TerminalFactory& factory() override { return *this; }
  void Stop() override {}
  std::string Problem() const override { return reason_; }

 private:
  std::string reason_;
};

class NetworkChoice : public TerminalChoice {
 public:
  NetworkChoice(std::string host, uint16_t port, int timeout_seconds)
      : factory_(std::move(host), port, timeout_seconds) {}
  TerminalFactory& factory() override { return factory_; }
  void Stop() override {}
  std::string Problem() const override { return ""; }

 private:
  NetworkTerminalFactory factory_;
};

// The simulated host, opened at the first terminal object so that a bad scenario shows at
// sign-on like any other terminal failure, and kept for the whole process: every terminal
// object attaches to the one world. What its load left out (a journal line cut short) goes to
// stderr, where the console shows it.
class SimulatorChoice : public TerminalFactory, public TerminalChoice {
 public:
  SimulatorChoice(std::string scenario, std::string state, sim::HostOptions options, Env& env)
      : scenario_(std::move(scenario)), state_(std::move(state)), options_(options), env_(env) {}

  std::unique_ptr<Terminal> Create(Status* error) override {
    if (host_ == nullptr) {
      Status opened;
      host_ = sim::SimHost::Open(scenario_, state_, env_, &opened, options_);
      if (host_ == nullptr) {
        if (error != nullptr) *error = opened;
        return nullptr;
      }
      for (const std::string& note : host_->notes()) std::cerr << "ambervale: " << note << "\n";
      terminals_ = std::make_unique<sim::SimTerminalFactory>(*host_);
    }
    return terminals_->Create(error);
  }
  TerminalFactory& factory() override { return *this; }
  void Stop() override {
    if (host_ != nullptr) (void)host_->Stop();
  }
  // The world comes from the state file when there is one, else from the scenario.
  std::string Problem() const override {
    if (FileExists(scenario_) || (!state_.empty() && FileExists(state_))) return "";
    return "[Terminal] Connection: the scenario file \"" + scenario_ + "\" was not found";
  }

 private:
  std::string scenario_;
  std::string state_;
  sim::HostOptions options_;
  Env& env_;
  std::unique_ptr<sim::SimHost> host_;
  std::unique_ptr<sim::SimTerminalFactory> terminals_;
};

std::unique_ptr<TerminalChoice> ChooseNetwork(std::string_view address, int timeout) {
  const size_t colon = address.rfind(':');
  if (colon == std::string_view::npos || colon == 0) {
    return std::make_unique<FailingFactory>("[Terminal] Connection \"tcp:" + std::string(address) +
                                            "\" needs a host and a port (tcp:host:port)");
  }
  const std::string host(address.substr(0, colon));
  const std::string port_text(address.substr(colon + 1));
  const std::optional<int32_t> port = ToInt32(port_text);
  if (!port || *port < 1 || *port > 65535 ||
      port_text.find_first_not_of("0123456789") != std::string::npos) {
    return std::make_unique<FailingFactory>("[Terminal] Connection \"tcp:" + std::string(address) +
                                            "\": \"" + port_text + "\" is not a port number");
  }
  return std::make_unique<NetworkChoice>(host, static_cast<uint16_t>(*port), timeout);
}

}  // namespace

std::unique_ptr<TerminalChoice> ChooseTerminal(const std::string& settings_path, Env& env) {
  const clsINI ini;
  const std::string connection = Trim(ini.ReadFromINI("Terminal", "Connection", "", settings_path));
  const std::string state = Trim(ini.ReadFromINI("Terminal", "StateFile", "", settings_path));
  const std::string timeout_text =
      Trim(ini.ReadFromINI("Terminal", "TimeoutSeconds", "", settings_path));
  const std::string today_text = Trim(ini.ReadFromINI("Terminal", "Today", "", settings_path));

  int timeout = kDefaultTimeoutSeconds;
  if (!timeout_text.empty()) {
    const std::optional<int32_t> t = ToInt32(timeout_text);
    if (!t || *t < 1 || *t > 3600) {
      return std::make_unique<FailingFactory>("[Terminal] TimeoutSeconds \"" + timeout_text +
                                              "\" is not a number of seconds from 1 to 3600");
    }
    timeout = *t;
  }
  sim::HostOptions options;
  if (!today_text.empty()) {
    options.today = sim::ParseIsoDate(today_text);
    if (!options.today) {
      return std::make_unique<FailingFactory>("[Terminal] Today \"" + today_text +
                                              "\" is not a date (YYYY-MM-DD)");
    }
  }

  if (connection.empty()) {
    return std::make_unique<FailingFactory>(
        "[Terminal] Connection is missing in settings.ini (sim:<scenario file> or "
        "tcp:<host>:<port>)");
  }
  const std::string kind = LCase(Left(connection, 4));
  const std::string rest = Mid(connection, 5);
  if (kind == "sim:" && !rest.empty()) {
    const std::string folder = env.ProgramFolder();
    return std::make_unique<SimulatorChoice>(sim::PathFromFolder(folder, rest),
                                             sim::PathFromFolder(folder, state), options, env);
  }
  if (kind == "tcp:") return ChooseNetwork(rest, timeout);
  return std::make_unique<FailingFactory>("[Terminal] Connection \"" + connection +
                                          "\" is neither sim:<scenario file> nor "
                                          "tcp:<host>:<port>");
}

}  // namespace ambervale

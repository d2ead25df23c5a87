// ambervale: sorts the booking files on the reservation host's queues. The command line and
// the choice of window, mail component and service status are made here; everything else is
// Program's.

#include <cstdlib>
#include <iostream>
#include <memory>
#include <variant>

#include "app/command_line.h"
#include "app/config_check.h"
#include "app/console_window.h"
#include "app/explain.h"
#include "app/front_end.h"
#include "app/no_mailer.h"
#include "app/program.h"
#include "app/systemd_notify.h"
#include "app/terminal_choice.h"
#include "platform/env.h"
#include "platform/files.h"
#ifdef AMBERVALE_WITH_QT
#include "app/qt_front_end.h"
#endif
#ifdef AMBERVALE_WITH_CURL
#include "mail/curl_mailer.h"
#endif

int main(int argc, char** argv) {
  using namespace ambervale;
  const auto parsed = ParseCommandLine(argc, argv);
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    std::cerr << "ambervale: " << *error << '\n';
    return kExitUsage;
  }
  const CommandLine& options = std::get<CommandLine>(parsed);
  if (options.help) std::cout << UsageText();
  if (options.version) std::cout << kVersionText << '\n';
  if (options.help || options.version) return 0;

  std::unique_ptr<Env> env = NewSystemEnv();
  const ConsoleStreams console = StandardConsoleStreams();
  if (options.check) {
    const std::string settings = JoinPath(env->ProgramFolder(), "settings.ini");
    const std::string terminal = ChooseTerminal(settings, *env)->Problem();
    return CheckConfiguration(*env, std::cout, console.utf8, terminal);
  }
  if (options.explain.asked) return ExplainPnr(*env, options.explain, std::cout, console.utf8);

  if (options.what_if) {
    // No window and no mail: the pass reports on the terminal and in its file.
    std::unique_ptr<FrontEnd> console_front_end = NewConsoleFrontEnd(*env, console);
    Program program(std::move(env), std::move(console_front_end),
                    std::make_unique<NoMailerFactory>(), options);
    return program.WhatIf(std::cout);
  }

  std::unique_ptr<FrontEnd> front_end;
#ifdef AMBERVALE_WITH_QT
  if (!UseConsoleWindow(options, std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                        std::getenv("QT_QPA_PLATFORM"))) {
    front_end = NewQtFrontEnd(argc, argv);
  }
#endif
#ifdef AMBERVALE_WITH_CURL
  auto mailers = std::make_unique<CurlMailerFactory>();
#else
  auto mailers = std::make_unique<NoMailerFactory>();
#endif
  if (front_end == nullptr) front_end = NewConsoleFrontEnd(*env, console);
  std::unique_ptr<ServiceStatus> service_status = NewServiceStatus(*env);
  Program program(std::move(env), std::move(front_end), std::move(mailers), options,
                  std::move(service_status));
  return program.Run();
}

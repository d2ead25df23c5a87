#pragma once

// The program's command line. Without options the program behaves as it always has: it shows
// its window (or the console window when there is no display) and runs until closed. The
// options are conveniences for operators and scripts:
//   --headless   the console window even when a display is there
//   --runs N     after N runs stop as if the window had been closed
//   --check      check settings.ini and the configuration files, print every problem, exit
//   --what-if    one distribution pass that changes nothing on the host (Distribution::WhatIf)
//   --explain    where the run would send a PNR with the given fields (app/explain_request.h)
//   --version    print "Ambervale 12.0.0415.0"
//   --help       print the usage

#include <string>
#include <string_view>
#include <variant>

#include "app/explain_request.h"

namespace ambervale {

inline constexpr std::string_view kVersionText = "Ambervale 12.0.0415.0";

// Exit codes of the command line itself.
inline constexpr int kExitUsage = 2;  // an unknown option or a bad value

struct CommandLine {
  bool headless = false;
  int runs = 0;  // 0: no limit
  bool check = false;
  bool what_if = false;
  bool version = false;
  bool help = false;
  ExplainRequest explain;
};

// The options, or a message naming the offending argument. `--runs` takes a whole number from
// 1 to 1000000, as the next argument or after "=".
[[nodiscard]] std::variant<CommandLine, std::string> ParseCommandLine(int argc,
                                                                      const char* const* argv);

// The text of --help.
[[nodiscard]] std::string UsageText();

// Whether the console window is used: with --headless, and when there is no display to show a
// window on (no DISPLAY, no WAYLAND_DISPLAY and no QT_QPA_PLATFORM; null or empty means unset).
[[nodiscard]] bool UseConsoleWindow(const CommandLine& options, const char* display,
                                    const char* wayland_display, const char* qt_qpa_platform);

}  // namespace ambervale

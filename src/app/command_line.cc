#include "app/command_line.h"

#include <charconv>
#include <optional>

namespace ambervale {
namespace {

constexpr int kMaxRuns = 1'000'000;

std::optional<int> ParseRuns(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < 1 || value > kMaxRuns) {
    return std::nullopt;
  }
  return value;
}

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

}  // namespace

std::variant<CommandLine, std::string> ParseCommandLine(int argc, const char* const* argv) {
  CommandLine options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--headless") {
      options.headless = true;
    } else if (arg == "--what-if") {
      options.what_if = true;
    } else if (arg == "--check") {
      options.check = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (IsExplainOption(arg)) {
      if (auto error = TakeExplainOption(argc, argv, &i, &options.explain)) return *error;
    } else if (arg == "--runs" || arg.starts_with("--runs=")) {
      std::string_view value;
      if (arg == "--runs") {
        if (i + 1 >= argc) return std::string("--runs needs a number of runs");
        value = argv[++i];
      } else {
        value = arg.substr(7);
      }
      const std::optional<int> runs = ParseRuns(value);
      if (!runs) {
        return "--runs \"" + std::string(value) + "\": expected a whole number from 1 to " +
               std::to_string(kMaxRuns);
      }
      options.runs = *runs;
    } else {
      return "unknown option \"" + std::string(arg) + "\" (see --help)";
    }
  }
  if (auto error = CheckExplainRequest(options.explain)) return *error;
  if (options.explain.asked && (options.check || options.runs > 0)) {
    return std::string("--explain does not go with --check or --runs");
  }
  if (options.what_if && (options.check || options.runs > 0 || options.explain.asked)) {
    return std::string("--what-if does not go with --check, --runs or --explain");
  }
  return options;
}

std::string UsageText() {
  return "Usage: ambervale [--headless] [--runs N] [--check] [--version] [--help]\n"
         "       ambervale --what-if\n"
         "       ambervale --explain --task PCC/QUEUE[*CAT] [--sine XY] [--name TEXT]\n"
         "                 [--di TEXT]... [--ci VALUE]\n"
         "\n"
         "Sorts the booking files on the Vantora host's queues as settings.ini in the\n"
         "program's folder (or AMBERVALE_HOME) describes. Without options it shows its\n"
         "window, or the console window when there is no display, and runs until closed.\n"
         "\n"
         "  --headless  use the console window even when a display is there\n"
         "  --runs N    stop after N runs, as if the window had been closed\n"
         "  --check     check settings.ini, the Task Maintenance file and the mapping\n"
         "              files without signing on; print every problem found; exit 0\n"
         "              when the configuration is usable, 1 otherwise\n"
         "  --what-if   one pass over every task's queue that changes nothing on the\n"
         "              host: each PNR is looked at and left where it is; where the\n"
         "              run would send it goes to logs/WhatIf_<date-time>.csv and a\n"
         "              summary is printed; exit 0, or 1 when a task could not be\n"
         "              walked\n"
         "  --explain   tell where the run would send a PNR of the task with these\n"
         "              fields: which rows of each mapping file match by which\n"
         "              lookup, and the entries the run sends; no host, no logs\n"
         "    --task PCC/QUEUE[*CAT]  the source queue (required)\n"
         "    --sine XY               the agent sine of the locator line\n"
         "    --name TEXT             the name line, e.g. \"SMITH/JOHN MR\"\n"
         "    --di TEXT               a DI remark, e.g. \"AC ACCT-129\" (repeatable)\n"
         "    --ci VALUE              the CI customer value, e.g. 00123\n"
         "  --version   print the version\n"
         "  --help      print this text\n"
         "\n"
         "\n"
         "Every run appends a row to logs/Run_Summary_N.csv and its moves per agent to\n"
         "logs/Agent_Tally_N.csv.\n"
         "\n"
         "Exit status: 0 after an orderly end, 1 when start-up or a run ended the program\n"
         "on a problem (or --check or --explain found one), 2 for a bad command line, 3\n"
         "when another copy already runs for the same program folder.\n";
}

bool UseConsoleWindow(const CommandLine& options, const char* display, const char* wayland_display,
                      const char* qt_qpa_platform) {
  if (options.headless) return true;
  return !IsSet(display) && !IsSet(wayland_display) && !IsSet(qt_qpa_platform);
}

}  // namespace ambervale

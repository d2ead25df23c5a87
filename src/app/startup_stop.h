#pragma once

// How start-up applies its stops. A stop (config/settings.h) is a list of log lines, a message
// box and the end of the program. The program's StopSink performs it and returns the end,
// which start-up returns to the program; the configuration check (--check) records it and goes
// on, so that one pass shows every problem.

#include <exception>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "config/settings.h"
#include "form/frm_main.h"
#include "platform/program_end.h"

namespace ambervale {

// Exit codes of the program.
inline constexpr int kExitStartupStop = 1;  // start-up found a problem and ended
inline constexpr int kExitAnotherCopy = 3;  // another copy runs for this program folder

class StopSink {
 public:
  virtual ~StopSink() = default;
  // Performs `stop`. `problem` is what a loader found (file, line, column, value): it is shown
  // as a further paragraph of the box. `setting` names the setting and the value read
  // ("[TIMER] COUNTER = \"1m\""), for the check's report only. Returns the end of the program
  // (the program's sink), or GoOn when the caller is to read on (the check's).
  virtual ProgramEnd Stop(const StartupStop& stop, std::string_view problem = "",
                          std::string_view setting = "") = 0;
};

// The program's stops: each debug line ("##### date time" + detail + " #####"), each run-log
// line (AddActionLog(summary, "Ambervale_LOG_", true)), the box, then the end with
// kExitStartupStop. The loaders have written their problem to the debug log
// already, so it only joins the box.
class ProgramStopSink : public StopSink {
 public:
  explicit ProgramStopSink(frmMain& form) : form_(form) {}
  ProgramEnd Stop(const StartupStop& stop, std::string_view problem = "",
                  std::string_view setting = "") override;

 private:
  frmMain& form_;
};

// Writes the log lines of a stop or of the Fail Queue check, in order.
void WriteStopLines(frmMain& form, const std::vector<StopLine>& lines);

// The box text, with `problem` as a further paragraph when there is one.
[[nodiscard]] std::string StopBoxText(const StartupStop& stop, std::string_view problem);

// Runs one step of start-up. An unexpected failure of a library call (a std::exception) skips
// the rest of the step: it is written to the debug log and start-up goes on. Returns the
// step's end of the program; a step that cannot end it returns nothing.
template <typename Step>
ProgramEnd RunStartupStep(frmMain& form, std::string_view name, Step&& step) {
  try {
    if constexpr (std::is_void_v<std::invoke_result_t<Step&>>) {
      step();
    } else {
      return step();
    }
  } catch (const std::exception& e) {
    form.logs().WriteDebugLog(
        DebugStopText(form.env().LocalNow(),
                      ". Start-up step \"" + std::string(name) + "\" skipped: " + e.what()));
  }
  return ProgramEnd::GoOn();
}

}  // namespace ambervale

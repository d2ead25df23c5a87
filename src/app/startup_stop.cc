#include "app/startup_stop.h"

#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {

void WriteStopLines(frmMain& form, const std::vector<StopLine>& lines) {
  for (const StopLine& line : lines) {
    if (line.kind == StopLine::kDebug) {
      form.logs().WriteDebugLog(DebugStopText(form.env().LocalNow(), line.text, line.closing));
    } else {
      form.AddActionLog(line.text, kRunLogPrefix, true);
    }
  }
}

std::string StopBoxText(const StartupStop& stop, std::string_view problem) {
  if (problem.empty()) return stop.box_text;
  return stop.box_text + std::string(kCrLf) + std::string(kCrLf) + std::string(problem);
}

ProgramEnd ProgramStopSink::Stop(const StartupStop& stop, std::string_view problem,
                                 std::string_view /*setting*/) {
  WriteStopLines(form_, stop.lines);
  (void)form_.window().ShowMessageBox(StopBoxText(stop, problem), stop.buttons, stop.icon, "");
  return ProgramEnd::Exit(kExitStartupStop);
}

}  // namespace ambervale

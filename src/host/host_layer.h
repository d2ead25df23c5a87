#pragma once

// The only road to the reservation host: sign-on check, one entry at a time with every entry
// and response written to the debug log, the lines of the last response, and the conversion
// of the host's screen markup into text.
//
// A failing terminal during an entry (the host lost) is reported (debug line, action log,
// unticketed report header, e-mail alert) and returned as the end of the program: every caller
// returns it at once, so that nothing more is sent, written or mailed.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "form/frm_main.h"
#include "host/terminal.h"
#include "mail/alerts.h"
#include "platform/program_end.h"

namespace ambervale {

// Removes "<CARRIAGE_RETURN/>", "<SOM/>", "<FORMAT/>", "<FORMAT>"; "<TABSTOP/>" becomes the
// field mark 0xB7 and "<PILLOW/>" "@". Changes `text` and returns the result.
std::string CleanResponseText(std::string* text);
// The same, except that "<CARRIAGE_RETURN/>" becomes CR LF.
std::string FormatResponseText(std::string* text);

// The entries the host has answered through one host layer, the busy answers among them, and
// the time spent waiting for answers (busy waits included), on the Env clock.
struct HostTraffic {
  int64_t entries = 0;
  int64_t busy_answers = 0;
  std::chrono::nanoseconds waiting{0};
};

class HostLayer {
 public:
  // None of the arguments is owned; all must outlive this object.
  HostLayer(frmMain& form, Alerts& alerts, TerminalFactory& terminals);

  // Creates a new terminal object and asks the sign-on state with "OP/W*": `state` receives
  // "OK", "SIGN IN", "FAIL" or an empty text. Returns the end when the host was lost.
  [[nodiscard]] ProgramEnd ConnectHost(std::string* state);
  // Sends one entry. "&" in `entry` is escaped in the caller's variable. The service watchdog
  // hears from the program before every entry. Returns the end (exit code 1) when the host was
  // lost, after reporting it.
  [[nodiscard]] ProgramEnd sendTECommand(std::string* entry);
  // Convenience for literal entries.
  [[nodiscard]] ProgramEnd sendTECommand(std::string_view entry) {
    std::string copy(entry);
    return sendTECommand(&copy);
  }
  int16_t GetResponseLineCount();
  std::string GetResponseLine(int16_t index);
  // Every line of the last response formatted and joined (line breaks come from the markup).
  std::string GetScreenText();
  // The entry offered on the first response line containing `find`; empty when none.
  std::string GetSuggestedEntry(std::string_view find);
  // Writes one unticketed status line per listed PNR of the last response; always "OK".
  std::string LogQueueListStatus(std::string_view pcc, std::string_view queue);

  // True once ConnectHost has made a terminal object.
  bool HasTerminal() const { return terminal_ != nullptr; }
  const HostTraffic& traffic() const { return traffic_; }

 private:
  frmMain& form_;
  Alerts& alerts_;
  TerminalFactory& terminals_;
  std::unique_ptr<Terminal> terminal_;
  HostTraffic traffic_;
};

}  // namespace ambervale

#include "host/host_layer.h"

#include <vector>

#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {
namespace {

constexpr std::string_view kFieldMark = "\xB7";
constexpr std::string_view kNoResponse = "Invalid line number 0 : HOST Response failed!";

std::string ConvertMarkup(std::string& text, std::string_view line_break) {
  std::string s = Replace(text, "<CARRIAGE_RETURN/>", line_break);
  s = Replace(s, "<SOM/>", "");
  s = Replace(s, "<FORMAT/>", "");
  s = Replace(s, "<FORMAT>", "");
  s = Replace(s, "<TABSTOP/>", kFieldMark);
  s = Replace(s, "<PILLOW/>", "@");
  text = s;
  return s;
}

}  // namespace

std::string CleanResponseText(std::string* text) { return ConvertMarkup(*text, ""); }

std::string FormatResponseText(std::string* text) { return ConvertMarkup(*text, kCrLf); }

HostLayer::HostLayer(frmMain& form, Alerts& alerts, TerminalFactory& terminals)
    : form_(form), alerts_(alerts), terminals_(terminals) {}

ProgramEnd HostLayer::ConnectHost(std::string* state) {
  state->clear();
  Status created;
  terminal_ = terminals_.Create(&created);
  if (terminal_ == nullptr) {
    form_.logs().WriteDebugLog("##### " + FormatDateTime(form_.env().LocalNow()) +
                               ". Terminal object not created: " + created.message() + " #####");
    (void)form_.window().ShowMessageBox("Error creating Tessiver Terminal Object", BoxButtons::kOk,
                                        BoxIcon::kCritical, "");
    return ProgramEnd::GoOn();
  }

  if (ProgramEnd end = sendTECommand("OP/W*")) return end;
  std::string line;
  if (GetResponseLineCount() > 0) {
    line = GetResponseLine(0);
  } else {
    form_.logs().WriteDebugLog(kNoResponse);
    form_.AddActionLog("Invalid line number 0: HOST Response failed!", kRunLogPrefix, true);
  }

  if (Left(line, 8) == "*ORSINE*") {
    *state = "FAIL";
  } else if (Left(line, 10) == " *VANTORA*" ||
             ContainsNoCase(line, "DUTY CODE NOT AUTHORISED FOR TERMINAL - VANTORA")) {
    *state = "OK";
  } else if (Left(line, 7) == "SIGN IN") {
    *state = "SIGN IN";
  } else if (line.empty()) {
    (void)alerts_.SendEmailAlert(
        "HOST Connection failed: Unable to obtain response from the Vantora HOST !!! ", false);
    *state = "FAIL";
  }
  return ProgramEnd::GoOn();
}

ProgramEnd HostLayer::sendTECommand(std::string* entry_in) {
  std::string& entry = *entry_in;
  form_.service_status().Watchdog();
  Status failure;
  if (terminal_ == nullptr) {
    failure = Status::Error("Unable to obtain response from Quillmarsh.");
  } else {
    entry = Replace(entry, "&", "&amp;");
    const std::string wrapped = "<FORMAT>" + entry + "</FORMAT>";
    const TimePoint sent = form_.env().Now();
    failure = terminal_->SendEntry(wrapped);
    traffic_.waiting += form_.env().Now() - sent;
    if (failure.ok()) {
      Logs& logs = form_.logs();
      logs.WriteDebugLines(
          {"##### " + FormatDateTime(form_.env().LocalNow()) + " TE REQUEST #####", wrapped, " ",
           "===== " + FormatDateTime(form_.env().LocalNow()) + " TE RESPONSE ====="});
      const std::optional<int16_t> count = terminal_->GetLineCount();
      if (!count) {
        failure = Status::Error("The terminal gave no response lines.");
      } else {
        std::vector<std::string> response;
        response.reserve(static_cast<size_t>(*count) + 1);
        for (int16_t i = 0; i < *count; ++i) response.push_back(terminal_->GetLine(i).value_or(""));
        response.emplace_back(" ");
        ++traffic_.entries;
        if (*count > 0 && Contains(response[0], "PREVIOUS ENTRY IN PROGRESS")) {
          ++traffic_.busy_answers;
          const TimePoint busy = form_.env().Now();
          form_.env().SleepMs(10000);
          traffic_.waiting += form_.env().Now() - busy;
        }
        logs.WriteDebugLines(response);
        return ProgramEnd::GoOn();
      }
    }
  }

  // The host cannot be reached: report, and return the end of the program. A failed alert changes
  // nothing, so the reason is logged first: the debug log names the entry, the action log (and the
  // screen) says why the program ends.
  const std::string reason = "Unable to obtain response from Vantora HOST !!! " + failure.message();
  form_.logs().WriteDebugLog("##### " + FormatDateTime(form_.env().LocalNow()) + ". <FORMAT>" +
                             entry + "</FORMAT>: " + reason + " #####");
  form_.AddActionLog(reason);
  if (form_.IsUnticketedMode()) form_.logs().AppendUnticketedHeader("Host Command: " + entry);
  (void)alerts_.SendEmailAlert("Error message: " + reason, false);
  return ProgramEnd::Exit(1);
}

int16_t HostLayer::GetResponseLineCount() {
  if (terminal_ == nullptr) return 0;
  return terminal_->GetLineCount().value_or(0);
}

std::string HostLayer::GetResponseLine(int16_t index) {
  const int16_t count = GetResponseLineCount();
  if (index > count - 1) {
    const std::string text =
        "Invalid line number " + std::to_string(index) + " : HOST Response failed!";
    form_.logs().WriteDebugLog(text);
    form_.AddActionLog(text, kRunLogPrefix, true);
    return "";
  }
  if (terminal_ == nullptr) return "";
  return terminal_->GetLine(index).value_or("");
}

std::string HostLayer::GetScreenText() {
  std::string screen;
  const int16_t count = GetResponseLineCount();
  for (int16_t i = 0; i < count; ++i) {
    std::string line = GetResponseLine(i);
    screen += FormatResponseText(&line);
  }
  return screen;
}

std::string HostLayer::GetSuggestedEntry(std::string_view find) {
  const int16_t count = GetResponseLineCount();
  for (int16_t i = 0; i < count; ++i) {
    std::string line = GetResponseLine(i);
    FormatResponseText(&line);
    if (!Contains(line, find)) continue;
    const std::string flat = Replace(Replace(line, kCrLf, ""), ".", "");
    const std::string entry = Trim(Mid(flat, 26));
    return Left(entry, static_cast<int>(entry.size()) - 1);
  }
  return "";
}

std::string HostLayer::LogQueueListStatus(std::string_view pcc, std::string_view queue) {
  const std::string screen = GetScreenText();
  int start = 1;
  while (start <= static_cast<int>(screen.size()) - 1) {
    const int star = InStr(screen, "*", start);
    if (star == 0) break;
    if (Mid(screen, star + 7, 1) == kFieldMark) {
      form_.logs().AppendUnticketedStatus(std::string(pcc) + "," + Mid(screen, star + 1, 6) + "," +
                                          std::string(queue) + ",");
      start = star + 8;
    } else {
      start = star + 3;
    }
  }
  return "OK";
}

}  // namespace ambervale

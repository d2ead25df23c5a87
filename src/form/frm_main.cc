#include "form/frm_main.h"

#include <array>

#include "form/counters.h"
#include "platform/classic_text.h"
#include "platform/files.h"

namespace ambervale {
namespace {

constexpr int kMaxListLines = 101;

constexpr std::array<Control, 4> kStatusLabels = {Control::kLblCountDown, Control::kLblPeekQueue,
                                                  Control::kLblRetrieveDataFromQueue,
                                                  Control::kLblMoveQueue};

std::string SubCount(int32_t n) { return n >= 1 ? "(" + std::to_string(n) + ")" : ""; }

}  // namespace

frmMain::frmMain(Env& env, Window& window, Logs& logs) : env_(env), window_(window), logs_(logs) {}

std::string frmMain::SettingsPath() const { return JoinPath(env_.ProgramFolder(), "settings.ini"); }

bool FormSettings::IsUnticketedMode() const { return UCase(strPNRMoveMode) == "UTK"; }

void frmMain::AddActionLog(std::string_view msg, std::string_view fname, bool logActionLog) {
  std::string line = FormatDateTime(env_.LocalNow());
  line += " - ";
  line += msg;
  if (!logActionLog) {
    if (window_.ListCount() >= kMaxListLines) window_.RemoveListLine(0);
    window_.AddListLine(line);
    window_.SelectListLine(window_.ListCount() - 1);
  }
  if (!fname.empty()) {
    logs_.WriteRunLog(line, fname);
  } else {
    logs_.WriteActionLogFile(line);
  }
}

void frmMain::ShowStatus(Stage stage, std::string_view text) {
  for (Control label : kStatusLabels) window_.SetBackColour(label, kGrey);
  Control label = Control::kLblCountDown;
  switch (stage) {
    case Stage::kCountdown:
      window_.SetCaption(Control::kLblCountDown, "Count down" + std::string(text));
      break;
    case Stage::kPeekQueue:
      label = Control::kLblPeekQueue;
      break;
    case Stage::kRetrieveData:
      label = Control::kLblRetrieveDataFromQueue;
      break;
    case Stage::kCheckNewData:
      label = Control::kLblMoveQueue;
      break;
  }
  window_.SetBackColour(label, kHighlight);
  window_.DoEvents();
}

void frmMain::ResetCounters() { counters() = FormCounters{}; }

void frmMain::RefreshCounters() {
  const struct {
    Control label;
    int32_t value;
  } kMain[] = {
      {Control::kLbSuccessCount, intSuccessCount},
      {Control::kLbFailCount, intFailCount},
      {Control::kLblSuccessToFailQ, lngSuccessOrgQ2FailQCount},
      {Control::kLblFailToFailQ, lngFailOrgQ2FailQCount},
      {Control::kLblSuccessFromFailQ, lngSuccessFromFail2OrgQCount},
      {Control::kLblFailFromFailQ, lngFailFromFail2OrgQCount},
  };
  for (const auto& c : kMain) {
    window_.SetCaption(c.label, std::to_string(c.value));
    window_.SetBold(c.label, true);
  }
  window_.SetCaption(Control::kLbSuccessSubCount, SubCount(intSuccessSubCount));
  window_.SetCaption(Control::kLbFailSubCount, SubCount(intFailSubCount));
  service_status_->Status(CountersText(*this));
}

void frmMain::lstActionLog_DblClick() {
  (void)window_.ShowMessageBox(window_.SelectedListLine(), BoxButtons::kOk, BoxIcon::kNone,
                               "Action Log Message");
}

void frmMain::cmdCancel_Click(bool confirmed) {
  BoxAnswer answer = BoxAnswer::kYes;
  if (!confirmed) {
    const std::string crlf(kCrLf);
    const std::string question = " Are you sure you want to cancel this progress?" + crlf + crlf +
                                 "         Click Yes to proceed with canceling" + crlf + crlf +
                                 "                                  Or" + crlf + crlf +
                                 "            Click no to continuing process";
    answer = window_.ShowMessageBox(question, BoxButtons::kYesNo, BoxIcon::kNone,
                                    "Cancel queuing unticketed PNRs");
  }
  // The Env gives the operator's name in Windows-1252 already.
  const std::string name = Replace(env_.OperatorName(), ".", " ");
  if (answer == BoxAnswer::kYes && IsUnticketedMode()) {
    strErrMsg = "Error message: Processing cancelled at " + FormatDateTime(env_.LocalNow()) +
                " by " + name + ".,,,";
    blnStopRequested = true;
  }
}

}  // namespace ambervale

// Draws the main window as it looks during a run and saves the picture, so the layout can be
// checked without a display (Qt's offscreen platform).
//   window_screenshot [--progress] OUT.png
// --progress shows the progress frame of the unticketed run over the action list.

#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/qt_window.h"

namespace {

void Fill(ambervale::QtWindow& w, bool progress) {
  using ambervale::Control;
  const char* kLines[] = {
      "Loading Queue mapping files ......",
      "Loaded completed.",
      "Working on LON1/40*C5: 3 PNR(s) in queue",
      "ABC123: moved to LON1/12*C2 (agent sine 7QJ, mapping file Agents_Caf\xE9.csv)",
      "DEF456: moved to LON1/14*C1",
      "GHI789: no agent found; moved to the Fail Queue 99*C9",
      "Working on MAN2/41: queue empty",
      "Fail Queue alert sent to desk@agency.test",
  };
  int second = 0;
  for (const char* line : kLines) {
    w.AddListLine("2026/12/06 10:00:" + std::string(second < 10 ? "0" : "") +
                  std::to_string(second) + " - " + line);
    second += 3;
  }
  w.SelectListLine(w.ListCount() - 1);
  w.SetCaption(Control::kLbSuccessCount, "1234");
  w.SetCaption(Control::kLbSuccessSubCount, "(1)");
  w.SetCaption(Control::kLbFailCount, "17");
  w.SetCaption(Control::kLbFailSubCount, "(2)");
  w.SetCaption(Control::kLblSuccessToFailQ, "3");
  w.SetCaption(Control::kLblFailToFailQ, "0");
  w.SetCaption(Control::kLblSuccessFromFailQ, "2");
  w.SetCaption(Control::kLblFailFromFailQ, "1");
  w.SetCaption(Control::kFrmToFail, "To Fail Queue Category");
  w.SetCaption(Control::kFrmFromFail, "From Fail Queue Category");
  w.SetCaption(Control::kLblCountDown, "Count down (60)");
  for (Control c : {Control::kLblCountDown, Control::kLblPeekQueue,
                    Control::kLblRetrieveDataFromQueue, Control::kLblMoveQueue}) {
    w.SetBackColour(c, ambervale::kGrey);
  }
  w.SetBackColour(Control::kLblRetrieveDataFromQueue, ambervale::kHighlight);
  if (progress) {
    w.SetVisible(Control::kFrmProgressBar, true);
    w.SetProgressMax(5);
    w.SetProgressValue(2);
    w.SetCaption(Control::kLabel6, "Processing PCC 2 of 5");
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool progress = false;
  const char* out = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--progress") == 0) {
      progress = true;
    } else {
      out = argv[i];
    }
  }
  if (out == nullptr) {
    std::fprintf(stderr, "usage: window_screenshot [--progress] OUT.png\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ambervale::QtWindow window;
  window.Show();
  Fill(window, progress);
  window.DoEvents();
  if (!window.widget()->grab().save(QString::fromLocal8Bit(out))) {
    std::fprintf(stderr, "window_screenshot: cannot write %s\n", out);
    return 1;
  }
  return 0;
}

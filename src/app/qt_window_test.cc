#include "app/qt_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "testing/recording_window.h"

namespace ambervale::testing {
namespace {

class QtWindowTest : public ::testing::Test {
 protected:
  QtWindowTest() {
    // One application for the whole test program, on the offscreen platform so no display is
    // needed. Deliberately never destroyed: widgets of other tests may still refer to it at exit.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qt_window_test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
    window_ = std::make_unique<QtWindow>();
    window_->SetEventHandler(&events_);
    window_->Show();
    window_->DoEvents();
  }
  template <typename T>
  T* Find(const char* name) {
    T* w = window_->widget()->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  RecordingEvents events_;
  std::unique_ptr<QtWindow> window_;
};

// Colours, captions and list lines on the real window (the program's own stamp and selection of
// each line are frmMain's); texts in Windows-1252 are shown converted and given back as their
// bytes.
TEST_F(QtWindowTest, ShowsCaptionsAndListLines) {
  // The program's colours are blue-green-red, as the classic window took them.
  window_->SetBackColour(Control::kLblRetrieveDataFromQueue, 0xFF8080);
  EXPECT_EQ(Find<QWidget>("lblRetrieveDataFromQueue")->palette().color(QPalette::Window),
            QColor(128, 128, 255));
  window_->SetCaption(Control::kLabel6, "Processing PCC 1 of 3 \xB7 Z\xFCrich");
  EXPECT_EQ(Find<QLabel>("Label6")->text(),
            QString::fromUtf8("Processing PCC 1 of 3 \xC2\xB7 Z\xC3\xBCrich"));

  window_->AddListLine("gone");
  window_->AddListLine("Caf\xE9 \x80\r\nsecond line");
  for (int at : {0, 99, -1}) window_->RemoveListLine(at);
  ASSERT_EQ(window_->ListCount(), 1);
  EXPECT_EQ(Find<QListWidget>("lstActionLog")->item(0)->text(),
            QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC second line"));
  window_->SelectListLine(0);
  EXPECT_EQ(window_->SelectedListLine(), "Caf\xE9 \x80\r\nsecond line");
  window_->SelectListLine(7);
  EXPECT_EQ(window_->SelectedListLine(), "");
}

// The progress frame with its Cancel button, double-clicks on the action list, close requests.
TEST_F(QtWindowTest, DrivesTheProgressFrameAndReportsTheOperatorsActions) {
  window_->SetVisible(Control::kFrmProgressBar, true);
  auto* bar = Find<QProgressBar>("ProgressBar1");
  window_->SetProgressMax(3);
  window_->SetProgressValue(4);
  EXPECT_EQ(bar->value(), 3) << "a value past the end shows a full bar";
  window_->SetProgressMax(0);
  EXPECT_EQ(bar->maximum(), 1) << "no busy animation for an empty run";
  QTest::mouseClick(Find<QPushButton>("cmdCancel"), Qt::LeftButton);
  EXPECT_EQ(events_.cancels, std::vector<bool>{false});

  window_->SetVisible(Control::kFrmProgressBar, false);
  auto* list = Find<QListWidget>("lstActionLog");
  // What a real double-click delivers: a press and release, then the double-click. One on the
  // empty list is reported too (frmMain then shows the empty line).
  const auto double_click = [&](QPoint at) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  };
  double_click(QPoint(20, 20));
  EXPECT_EQ(events_.double_clicks, 1);
  window_->AddListLine("a line to read");
  double_click(list->visualItemRect(list->item(0)).center());
  EXPECT_EQ(events_.double_clicks, 2);
  EXPECT_EQ(window_->SelectedListLine(), "a line to read");

  // A close request is routed to the program; the window closes only when the program says so,
  // also from within the request.
  EXPECT_FALSE(window_->widget()->close());  // refused: the window stays
  EXPECT_EQ(events_.closes, 1);
  RecordingEvents events;
  events.on_close = [this] { window_->CloseForReal(); };
  window_->SetEventHandler(&events);
  window_->widget()->close();
  EXPECT_EQ(events.closes, 1);
  EXPECT_FALSE(window_->widget()->isVisible());
}

// Each case: buttons, icon, title (none: "Ambervale"), the button pressed, the answer.
TEST_F(QtWindowTest, ShowsMessageBoxesAsAsked) {
  using QB = QMessageBox;
  const struct {
    BoxButtons buttons;
    BoxIcon icon;
    const char* title;
    QB::StandardButton press;
    BoxAnswer answer;
  } kCases[] = {
      {BoxButtons::kOk, BoxIcon::kCritical, "", QB::Ok, BoxAnswer::kOk},
      {BoxButtons::kYesNo, BoxIcon::kNone, "Cancel queuing", QB::Yes, BoxAnswer::kYes},
      {BoxButtons::kYesNo, BoxIcon::kNone, "", QB::NoButton, BoxAnswer::kNo},  // closed
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.press);
    window_->set_box_answerer([&](QMessageBox& box) {
      EXPECT_EQ(box.windowTitle() + " " + box.text(),
                QString::fromUtf8(*c.title != 0 ? c.title : "Ambervale") +
                    QString::fromUtf8(" Line one\n<b>Caf\xC3\xA9</b>"));
      EXPECT_EQ(box.icon(), c.icon == BoxIcon::kCritical ? QB::Critical : QB::NoIcon);
      EXPECT_EQ(box.standardButtons(),
                c.buttons == BoxButtons::kOk ? QB::StandardButtons(QB::Ok) : QB::Yes | QB::No);
      return c.press;
    });
    EXPECT_EQ(window_->ShowMessageBox("Line one\r\n<b>Caf\xE9</b>", c.buttons, c.icon, c.title),
              c.answer);
  }
}

}  // namespace
}  // namespace ambervale::testing

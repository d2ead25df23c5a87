#pragma once

// The program's window on Qt Widgets: the status panel with its counters, stage labels,
// action list and the progress frame of the unticketed run, laid out as designed (client
// area 663 x 399 pixels; the design's twips divided by 15). Texts arrive as Windows-1252 bytes
// and are converted for display; the action list keeps each line's bytes, so the selected
// line comes back exactly as added.
//
// Closing the window is only a request: WindowEvents::OnCloseRequest runs and the window
// stays; the core closes it with CloseForReal when it has finished. Double-clicking the list
// (on a line or beside the lines) calls OnActionLogDoubleClick, the Cancel button
// OnCancelClick(false).
//
// QtEventLoop runs Qt's event loop with the program's timer; a tick that falls due while the
// previous tick handler still runs (the handler lets pending events run) is dropped.
//
// Both need a QApplication created beforehand and are used from its thread only.

#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "app/event_loop.h"
#include "form/window.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QWidget;

namespace ambervale {

class QtWindow : public Window {
 public:
  // Builds the window in its design state, not yet shown.
  QtWindow();
  ~QtWindow() override;
  QtWindow(const QtWindow&) = delete;
  QtWindow& operator=(const QtWindow&) = delete;

  void Show();
  // Closes the window for good; no close request is reported.
  void CloseForReal();

  // The top-level widget (for screenshots and tests). Child widgets carry the control names
  // as object names ("lbSuccessCount", "frmProgressBar", ...).
  QWidget* widget();

  // Test hook: when set, every message box is answered by this function once the box is on
  // screen; it returns the button to press. Without it a box waits for the operator.
  void set_box_answerer(std::function<QMessageBox::StandardButton(QMessageBox&)> answerer) {
    box_answerer_ = std::move(answerer);
  }

  void SetEventHandler(WindowEvents* handler) override { handler_ = handler; }
  void SetCaption(Control control, std::string_view text) override;
  void SetBackColour(Control control, uint32_t bgr) override;
  void SetBold(Control control, bool bold) override;
  void SetVisible(Control control, bool visible) override;
  void SetProgressMax(int max) override;
  void SetProgressValue(int value) override;
  int ListCount() override;
  void AddListLine(std::string_view line) override;
  void RemoveListLine(int index) override;
  void SelectListLine(int index) override;
  std::string SelectedListLine() override;
  BoxAnswer ShowMessageBox(std::string_view text, BoxButtons buttons, BoxIcon icon,
                           std::string_view title) override;
  void DoEvents() override;

 private:
  class Form;
  friend class Form;
  void OnCloseEvent(bool* accept);
  void Build();
  QWidget* ControlWidget(Control control) const;

  std::unique_ptr<Form> form_;
  std::map<Control, QWidget*> controls_;
  QListWidget* list_ = nullptr;
  QProgressBar* progress_ = nullptr;
  int progress_max_ = 100;
  WindowEvents* handler_ = nullptr;
  bool closing_for_real_ = false;
  std::function<QMessageBox::StandardButton(QMessageBox&)> box_answerer_;
};

class QtEventLoop : public EventLoop {
 public:
  // Ends only through Quit: closing the last window does not end the loop.
  QtEventLoop();
  QtEventLoop(const QtEventLoop&) = delete;
  QtEventLoop& operator=(const QtEventLoop&) = delete;

  void SetTimer(int interval_ms, std::function<void()> on_tick) override;
  // Returns the code given to Quit; a Quit before Exec makes Exec return at once.
  int Exec() override;
  void Quit(int exit_code) override;

 private:
  void OnTimeout();

  QTimer timer_;
  std::function<void()> on_tick_;
  bool in_tick_ = false;
  bool quit_requested_ = false;
  int exit_code_ = 0;
};

}  // namespace ambervale

#pragma once

// The Window seam: everything the core shows on the program's one window, and the questions
// it asks. The Qt window and the console window implement it; tests use a recording window.
// All calls come from the program's single thread. Texts are Windows-1252 bytes.

#include <cstdint>
#include <string>
#include <string_view>

namespace ambervale {

// The controls the core changes, named as on the window.
enum class Control {
  // Status labels, in display order.
  kLblCountDown,
  kLblPeekQueue,
  kLblRetrieveDataFromQueue,
  kLblMoveQueue,
  // Counter labels.
  kLbSuccessCount,
  kLbSuccessSubCount,
  kLbFailCount,
  kLbFailSubCount,
  kLblSuccessToFailQ,
  kLblFailToFailQ,
  kLblSuccessFromFailQ,
  kLblFailFromFailQ,
  // Frames whose captions or visibility change.
  kFrmToFail,
  kFrmFromFail,
  kFrmProgressBar,
  // The progress text inside frmProgressBar.
  kLabel6,
};

inline constexpr uint32_t kGrey = 0xC0C0C0;       // 0x00BBGGRR
inline constexpr uint32_t kHighlight = 0xFF8080;  // red 128, green 128, blue 255

enum class BoxButtons { kOk, kYesNo };
enum class BoxIcon { kNone, kCritical, kInformation };
enum class BoxAnswer { kOk, kYes, kNo };

// What the window reports back to the core: the operator's actions. The handler runs when
// the core lets pending window events run (Window::DoEvents) or from the window's event loop
// between runs.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // The operator asked to close the window (or, on the console, SIGINT/SIGTERM outside an
  // unticketed run).
  virtual void OnCloseRequest() = 0;
  // Double-click on a line of the action list.
  virtual void OnActionLogDoubleClick() = 0;
  // The Cancel button of the progress frame. `confirmed` is true when the console window has
  // already decided that the cancel needs no question (Ctrl-C without a terminal).
  virtual void OnCancelClick(bool confirmed) = 0;
};

class Window {
 public:
  virtual ~Window() = default;

  virtual void SetEventHandler(WindowEvents* handler) = 0;

  // Labels and frame captions.
  virtual void SetCaption(Control control, std::string_view text) = 0;
  virtual void SetBackColour(Control control, uint32_t bgr) = 0;
  virtual void SetBold(Control control, bool bold) = 0;
  virtual void SetVisible(Control control, bool visible) = 0;

  // ProgressBar1 inside frmProgressBar.
  virtual void SetProgressMax(int max) = 0;
  virtual void SetProgressValue(int value) = 0;

  // lstActionLog. Indexes are 0-based; -1 selects nothing.
  virtual int ListCount() = 0;
  virtual void AddListLine(std::string_view line) = 0;
  virtual void RemoveListLine(int index) = 0;
  virtual void SelectListLine(int index) = 0;
  virtual std::string SelectedListLine() = 0;  // empty when nothing is selected

  // A modal message box. An empty title means the program's title, "Ambervale". Returns the
  // button pressed (kOk for an OK box).
  virtual BoxAnswer ShowMessageBox(std::string_view text, BoxButtons buttons, BoxIcon icon,
                                   std::string_view title) = 0;

  // Lets pending window events run: repaint, clicks, close requests, timer ticks.
  virtual void DoEvents() = 0;
};

}  // namespace ambervale

#pragma once

// A Window that records what the core showed and answers questions from a script, and the
// events a window hands on.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "form/window.h"

namespace ambervale::testing {

class RecordingWindow : public Window {
 public:
  struct Box {
    std::string text;
    BoxButtons buttons;
    BoxIcon icon;
    std::string title;
  };

  void SetEventHandler(WindowEvents* handler) override { handler_ = handler; }
  void SetCaption(Control control, std::string_view text) override;
  void SetBackColour(Control, uint32_t) override {}
  void SetBold(Control, bool) override {}
  void SetVisible(Control, bool) override {}
  void SetProgressMax(int) override {}
  void SetProgressValue(int value) override { progress_value_ = value; }
  int ListCount() override { return static_cast<int>(list_.size()); }
  void AddListLine(std::string_view line) override { list_.emplace_back(line); }
  void RemoveListLine(int index) override;
  void SelectListLine(int index) override { selected_ = index; }
  std::string SelectedListLine() override;
  BoxAnswer ShowMessageBox(std::string_view text, BoxButtons buttons, BoxIcon icon,
                           std::string_view title) override;
  void DoEvents() override;

  // Script: answers for the next Yes/No boxes, in order (default kNo).
  void QueueAnswer(BoxAnswer answer) { answers_.push_back(answer); }
  // Runs once at the next DoEvents (to click Cancel or close the window mid-run).
  void OnNextDoEvents(std::function<void(WindowEvents&)> action) {
    pending_.push_back(std::move(action));
  }

  std::string caption(Control c) const;
  int progress_value() const { return progress_value_; }
  const std::vector<std::string>& list() const { return list_; }
  int selected() const { return selected_; }
  const std::vector<Box>& boxes() const { return boxes_; }
  int do_events_count() const { return do_events_; }
  // Every caption ever set, in order, as "control-number=text" lines are hard to read; this
  // keeps (control, text) pairs.
  const std::vector<std::pair<Control, std::string>>& caption_history() const {
    return caption_history_;
  }

 private:
  WindowEvents* handler_ = nullptr;
  std::map<Control, std::string> captions_;
  std::vector<std::pair<Control, std::string>> caption_history_;
  int progress_value_ = 0;
  std::vector<std::string> list_;
  int selected_ = -1;
  std::vector<Box> boxes_;
  std::deque<BoxAnswer> answers_;
  std::vector<std::function<void(WindowEvents&)>> pending_;
  int do_events_ = 0;
};

// Window events as a test sees them: counted, and a close request passed on to `on_close`.
struct RecordingEvents : WindowEvents {
  void OnCloseRequest() override {
    ++closes;
    if (on_close) on_close();
  }
  void OnActionLogDoubleClick() override { ++double_clicks; }
  void OnCancelClick(bool confirmed) override { cancels.push_back(confirmed); }
  std::function<void()> on_close;
  int closes = 0;
  int double_clicks = 0;
  std::vector<bool> cancels;
};

}  // namespace ambervale::testing

// The short names, for tests written before the helpers had their own namespace.
namespace ambervale {
using testing::RecordingWindow;
}  // namespace ambervale

#pragma once

// A Window that records what the core showed and answers questions from a script, and the
// events a window hands on.

#include <deque>
#include <functional>
#include <string>
#include <utility>
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
  void SetCaption(Control control, std::string_view text) override {
    caption_history_.emplace_back(control, std::string(text));
  }
  void SetBackColour(Control, uint32_t) override {}
  void SetBold(Control, bool) override {}
  void SetVisible(Control, bool) override {}
  void SetProgressMax(int) override {}
  void SetProgressValue(int value) override { progress_value_ = value; }
  int ListCount() override { return static_cast<int>(list_.size()); }
  void AddListLine(std::string_view line) override { list_.emplace_back(line); }
  void RemoveListLine(int index) override {
    if (index >= 0 && index < ListCount()) list_.erase(list_.begin() + index);
  }
  void SelectListLine(int index) override { selected_ = index; }
  std::string SelectedListLine() override {
    return selected_ >= 0 && selected_ < ListCount() ? list_[static_cast<size_t>(selected_)] : "";
  }
  BoxAnswer ShowMessageBox(std::string_view text, BoxButtons buttons, BoxIcon icon,
                           std::string_view title) override {
    boxes_.push_back(Box{std::string(text), buttons, icon, std::string(title)});
    if (buttons == BoxButtons::kOk) return BoxAnswer::kOk;
    if (answers_.empty()) return BoxAnswer::kNo;
    const BoxAnswer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  void DoEvents() override {
    if (handler_ == nullptr) return;
    for (auto& [n, action] : std::exchange(pending_, {})) {
      if (n > 1) {
        pending_.emplace_back(n - 1, std::move(action));
      } else {
        action(*handler_);
      }
    }
  }

  // Script: answers for the next Yes/No boxes, in order (default kNo).
  void QueueAnswer(BoxAnswer answer) { answers_.push_back(answer); }
  // Runs once at the `n`th DoEvents from now, 1 the next (to click Cancel or close the window
  // mid-run).
  void OnNextDoEvents(std::function<void(WindowEvents&)> action, int n = 1) {
    pending_.emplace_back(n, std::move(action));
  }

  // The caption last set.
  std::string caption(Control c) const {
    for (auto it = caption_history_.rbegin(); it != caption_history_.rend(); ++it) {
      if (it->first == c) return it->second;
    }
    return "";
  }
  int progress_value() const { return progress_value_; }
  const std::vector<std::string>& list() const { return list_; }
  int selected() const { return selected_; }
  const std::vector<Box>& boxes() const { return boxes_; }
  // Every caption set, in order, with its control.
  const std::vector<std::pair<Control, std::string>>& caption_history() const {
    return caption_history_;
  }

 private:
  WindowEvents* handler_ = nullptr;
  std::vector<std::pair<Control, std::string>> caption_history_;
  int progress_value_ = 0;
  std::vector<std::string> list_;
  int selected_ = -1;
  std::vector<Box> boxes_;
  std::deque<BoxAnswer> answers_;
  std::vector<std::pair<int, std::function<void(WindowEvents&)>>> pending_;
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

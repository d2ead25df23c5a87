#include "testing/recording_window.h"

namespace ambervale::testing {

void RecordingWindow::SetCaption(Control control, std::string_view text) {
  captions_[control] = std::string(text);
  caption_history_.emplace_back(control, std::string(text));
}

void RecordingWindow::RemoveListLine(int index) {
  if (index >= 0 && index < ListCount()) list_.erase(list_.begin() + index);
}

std::string RecordingWindow::SelectedListLine() {
  if (selected_ < 0 || selected_ >= ListCount()) return "";
  return list_[static_cast<size_t>(selected_)];
}

BoxAnswer RecordingWindow::ShowMessageBox(std::string_view text, BoxButtons buttons, BoxIcon icon,
                                          std::string_view title) {
  boxes_.push_back(Box{std::string(text), buttons, icon, std::string(title)});
  if (buttons == BoxButtons::kOk) return BoxAnswer::kOk;
  if (answers_.empty()) return BoxAnswer::kNo;
  const BoxAnswer a = answers_.front();
  answers_.pop_front();
  return a;
}

void RecordingWindow::DoEvents() {
  ++do_events_;
  if (pending_.empty() || handler_ == nullptr) return;
  auto actions = std::move(pending_);
  pending_.clear();
  for (auto& action : actions) action(*handler_);
}

std::string RecordingWindow::caption(Control c) const {
  auto it = captions_.find(c);
  return it == captions_.end() ? "" : it->second;
}

}  // namespace ambervale::testing

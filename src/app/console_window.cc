#include "app/console_window.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <stdexcept>

#include "platform/classic_text.h"
#include "platform/cp1252.h"

namespace ambervale {
namespace {

// The signals caught and not yet delivered. A signal handler can reach nothing but
// process-wide state, so this one flag word is the exception to the rule of no globals; only
// the handler sets bits and only ConsoleSignals takes them.
std::atomic<unsigned> g_pending_signals{0};
static_assert(std::atomic<unsigned>::is_always_lock_free);
bool g_signals_installed = false;

extern "C" void CatchSignal(int signal_number) {
  g_pending_signals.fetch_or(
      signal_number == SIGINT ? ConsoleSignals::kInterrupt : ConsoleSignals::kTerminate,
      std::memory_order_relaxed);
}

bool IsStatusLabel(Control c) {
  return c == Control::kLblCountDown || c == Control::kLblPeekQueue ||
         c == Control::kLblRetrieveDataFromQueue || c == Control::kLblMoveQueue;
}

bool IsCounter(Control c) {
  return c >= Control::kLbSuccessCount && c <= Control::kLblFailFromFailQ;
}

// Design-time captions, for the labels the core has not set yet.
std::string DesignCaption(Control c) {
  switch (c) {
    case Control::kLblCountDown:
      return "Count down";
    case Control::kLblPeekQueue:
      return "Peek queue";
    case Control::kLblRetrieveDataFromQueue:
      return "Retrieve PNR from queue";
    case Control::kLblMoveQueue:
      return "Move PNR to destination queue";
    case Control::kFrmToFail:
      return "To Fail Category";
    case Control::kFrmFromFail:
      return "From Fail Category";
    default:
      return "";
  }
}

// The number in "Count down (59)"; nullopt-like flag when there is none.
bool CountdownNumber(std::string_view caption, long* number) {
  const size_t open = caption.rfind('(');
  if (open == std::string_view::npos) return false;
  const std::string digits(caption.substr(open + 1));
  char* end = nullptr;
  *number = std::strtol(digits.c_str(), &end, 10);
  return end != digits.c_str() && *end == ')';
}

// CR LF and lone CR become LF, so a line break never rewrites the terminal line.
std::string UnixLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// The first line of `text` with any text on it, trimmed.
std::string_view FirstLine(std::string_view text) {
  while (!text.empty()) {
    const size_t end = text.find_first_of("\r\n");
    const std::string_view line = TrimWhitespace(text.substr(0, end));
    if (!line.empty() || end == std::string_view::npos) return line;
    text.remove_prefix(end + 1);
  }
  return text;
}

bool NamesUtf8(const char* locale) {
  std::string lower;
  for (const char* p = locale; *p != '\0'; ++p) {
    lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(*p))));
  }
  return lower.find("utf-8") != std::string::npos || lower.find("utf8") != std::string::npos;
}

}  // namespace

bool LocaleIsUtf8(const char* lc_all, const char* lc_ctype, const char* lang) {
  for (const char* name : {lc_all, lc_ctype, lang}) {
    if (name != nullptr && *name != '\0') return NamesUtf8(name);
  }
  return false;
}

ConsoleStreams StandardConsoleStreams() {
  ConsoleStreams s;
  s.out = &std::cout;
  s.err = &std::cerr;
  s.in = &std::cin;
  s.in_is_terminal = isatty(STDIN_FILENO) == 1;
  s.utf8 = LocaleIsUtf8(std::getenv("LC_ALL"), std::getenv("LC_CTYPE"), std::getenv("LANG"));
  return s;
}

ConsoleSignals::ConsoleSignals() {
  if (g_signals_installed) throw std::logic_error("ConsoleSignals exists already");
  g_signals_installed = true;
  g_pending_signals.store(0);
  struct sigaction action {};
  action.sa_handler = CatchSignal;
  sigemptyset(&action.sa_mask);
  // Restarted reads keep a question on the terminal waiting for its answer.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &old_interrupt_);
  sigaction(SIGTERM, &action, &old_terminate_);
}

ConsoleSignals::~ConsoleSignals() {
  sigaction(SIGINT, &old_interrupt_, nullptr);
  sigaction(SIGTERM, &old_terminate_, nullptr);
  g_signals_installed = false;
}

unsigned ConsoleSignals::TakePending() { return g_pending_signals.exchange(0); }

void ConsoleSignals::DropInterrupts() { g_pending_signals.fetch_and(~kInterrupt); }

ConsoleWindow::ConsoleWindow(ConsoleStreams streams) : io_(streams) {}

std::string ConsoleWindow::Text(std::string_view cp1252) const {
  const std::string text = UnixLineBreaks(cp1252);
  return io_.utf8 ? Cp1252ToUtf8(text) : text;
}

std::string ConsoleWindow::Caption(Control control) const {
  const auto it = captions_.find(control);
  return it == captions_.end() ? DesignCaption(control) : it->second;
}

void ConsoleWindow::SetCaption(Control control, std::string_view text) {
  const auto it = captions_.find(control);
  const bool changed = it == captions_.end() || it->second != text;
  captions_[control] = std::string(text);
  if (!changed) return;
  if (IsCounter(control)) counters_dirty_ = true;
  if (control == Control::kLabel6) {
    FlushCounters();
    *io_.out << "[progress] " << Text(text) << '\n';
  }
}

void ConsoleWindow::SetBackColour(Control control, uint32_t bgr) {
  if (IsStatusLabel(control) && bgr == kHighlight) PrintStatus(control);
}

void ConsoleWindow::SetVisible(Control control, bool visible) { visible_[control] = visible; }

void ConsoleWindow::PrintStatus(Control label) {
  const std::string caption = Caption(label);
  const bool countdown = label == Control::kLblCountDown;
  // The seconds of one countdown share one key, so only some of them are printed.
  const std::string key = countdown ? std::string() : caption;
  bool print = last_status_ != key;
  long number = 0;
  if (countdown && !print) {
    print = !CountdownNumber(caption, &number) || number % 10 == 0 || number <= 0;
  }
  last_status_ = key;
  if (!print) return;
  FlushCounters();
  *io_.out << "[status] " << Text(caption) << '\n';
}

void ConsoleWindow::FlushCounters() {
  if (!counters_dirty_) return;
  counters_dirty_ = false;
  const auto pair = [this](Control moved, Control failed) {
    return "moved " + Caption(moved) + " failed " + Caption(failed);
  };
  const auto with_sub = [this](Control count, Control sub) {
    const std::string s = Caption(sub);
    return Caption(count) + (s.empty() ? "" : " " + s);
  };
  std::string line = "[counters] moved " +
                     with_sub(Control::kLbSuccessCount, Control::kLbSuccessSubCount) + " failed " +
                     with_sub(Control::kLbFailCount, Control::kLbFailSubCount);
  // The Fail Queue counters only once they count something.
  const auto counting = [this](Control a, Control b) {
    return !(Caption(a).empty() || Caption(a) == "0") || !(Caption(b).empty() || Caption(b) == "0");
  };
  if (counting(Control::kLblSuccessToFailQ, Control::kLblFailToFailQ)) {
    line += " | " + Caption(Control::kFrmToFail) + ": " +
            pair(Control::kLblSuccessToFailQ, Control::kLblFailToFailQ);
  }
  if (counting(Control::kLblSuccessFromFailQ, Control::kLblFailFromFailQ)) {
    line += " | " + Caption(Control::kFrmFromFail) + ": " +
            pair(Control::kLblSuccessFromFailQ, Control::kLblFailFromFailQ);
  }
  *io_.out << Text(line) << '\n';
}

void ConsoleWindow::AddListLine(std::string_view line) {
  FlushCounters();
  list_.emplace_back(line);
  *io_.out << Text(line) << '\n';
  io_.out->flush();
}

void ConsoleWindow::RemoveListLine(int index) {
  if (index < 0 || index >= ListCount()) return;
  list_.erase(list_.begin() + index);
  if (selected_ == index) {
    selected_ = -1;
  } else if (selected_ > index) {
    --selected_;
  }
}

std::string ConsoleWindow::SelectedListLine() {
  if (selected_ < 0 || selected_ >= ListCount()) return "";
  return list_[static_cast<size_t>(selected_)];
}

BoxAnswer ConsoleWindow::ShowMessageBox(std::string_view text, BoxButtons buttons, BoxIcon icon,
                                        std::string_view title) {
  FlushCounters();
  io_.out->flush();
  std::ostream& err = *io_.err;
  err << "[box] " << Text(title.empty() ? std::string_view("Ambervale") : title);
  if (icon == BoxIcon::kCritical) err << " (critical)";
  if (icon == BoxIcon::kInformation) err << " (information)";
  err << '\n';
  const std::string body = Text(text);
  size_t start = 0;
  while (start <= body.size()) {
    const size_t end = std::min(body.find('\n', start), body.size());
    err << "  " << std::string_view(body).substr(start, end - start) << '\n';
    start = end + 1;
  }
  if (buttons == BoxButtons::kOk) {
    err.flush();
    return BoxAnswer::kOk;
  }
  return Ask(text);
}

BoxAnswer ConsoleWindow::Ask(std::string_view text) {
  std::ostream& err = *io_.err;
  if (!io_.in_is_terminal || io_.in == nullptr) {
    err << "  -> No (no terminal)\n";
    err.flush();
    if (answer_hook_) {
      answer_hook_("Question answered No (no terminal): " + std::string(FirstLine(text)));
    }
    return BoxAnswer::kNo;
  }
  err << "[y/N] ";
  err.flush();
  std::string answer;
  if (!std::getline(*io_.in, answer)) {
    io_.in->clear();
    answer.clear();
  }
  if (signals_ != nullptr) signals_->DropInterrupts();
  std::string lower;
  for (char c : TrimWhitespace(answer)) {
    lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  return lower == "y" || lower == "yes" ? BoxAnswer::kYes : BoxAnswer::kNo;
}

void ConsoleWindow::DoEvents() {
  FlushCounters();
  DeliverSignals();
  io_.out->flush();
}

void ConsoleWindow::DeliverSignals() {
  if (signals_ == nullptr || handler_ == nullptr || delivering_) return;
  const unsigned pending = signals_->TakePending();
  if (pending == 0) return;
  delivering_ = true;
  const bool interrupt = (pending & ConsoleSignals::kInterrupt) != 0;
  const bool terminate = (pending & ConsoleSignals::kTerminate) != 0;
  const auto it = visible_.find(Control::kFrmProgressBar);
  const bool unticketed_run = it != visible_.end() && it->second;
  *io_.out << (terminate ? "[signal] SIGTERM\n" : "[signal] SIGINT\n");
  if (interrupt && unticketed_run) {
    handler_->OnCancelClick(!io_.in_is_terminal);
  }
  if (terminate || (interrupt && !unticketed_run)) handler_->OnCloseRequest();
  delivering_ = false;
}

ConsoleEventLoop::ConsoleEventLoop(Env& env, ConsoleWindow& window)
    : env_(env), window_(window), next_tick_(env.Now()) {
  window_.AttachSignals(&signals_);
}

ConsoleEventLoop::~ConsoleEventLoop() { window_.AttachSignals(nullptr); }

void ConsoleEventLoop::SetTimer(int interval_ms, std::function<void()> on_tick) {
  interval_ms_ = std::max(0, interval_ms);
  on_tick_ = std::move(on_tick);
  next_tick_ = env_.Now() + std::chrono::milliseconds(interval_ms_);
}

int ConsoleEventLoop::Exec() {
  while (!quit_) {
    window_.DoEvents();
    if (quit_) break;
    int64_t wait_ms = kPollMs;
    if (interval_ms_ > 0 && on_tick_) {
      const TimePoint now = env_.Now();
      if (now >= next_tick_) {
        RunTick();
        continue;
      }
      const auto until = std::chrono::ceil<std::chrono::milliseconds>(next_tick_ - now);
      wait_ms = std::min<int64_t>(wait_ms, until.count());
    }
    env_.SleepMs(wait_ms);
  }
  return exit_code_;
}

void ConsoleEventLoop::RunTick() {
  next_tick_ += std::chrono::milliseconds(interval_ms_);
  const auto tick = on_tick_;  // the handler may replace or stop the timer
  tick();
  // A tick that outlasted the interval does not cause a burst of late ticks.
  const TimePoint now = env_.Now();
  if (interval_ms_ > 0 && next_tick_ <= now) {
    next_tick_ = now + std::chrono::milliseconds(interval_ms_);
  }
}

void ConsoleEventLoop::Quit(int exit_code) {
  quit_ = true;
  exit_code_ = exit_code;
}

}  // namespace ambervale

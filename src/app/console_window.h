#pragma once

// The console window: the status panel on a terminal or in a log, for runs without a display
// (`--headless`). Action-list lines go to stdout as they are added; stage and counter changes
// become short bracketed lines; message boxes go to stderr. Questions are read from stdin when
// stdin is a terminal, otherwise they get the safe answer No (the answer that stops or changes
// nothing), and that answer is reported through a hook so it reaches the action log.
//
// What is printed:
//   "<list line>"                           every line added to the action list
//   "[status] Count down (50)"              the countdown when its number is a multiple of 10,
//                                           when it reaches 0 or less (a run starts), and the
//                                           first countdown after another stage; the other
//                                           seconds are not printed
//   "[status] Peek queue"                   every change of the highlighted stage
//   "[counters] moved 3 (1) failed 2 | ..." once after the counters changed, at the next
//                                           line, status, box or DoEvents
//   "[progress] Processing PCC 1 of 3"      the progress text of the unticketed run
//
// ConsoleEventLoop is the loop with the program's timer. It waits through Env::SleepMs, so on
// the test clock it takes no real time, and it catches SIGINT and SIGTERM while it exists: the
// signal handler only sets a flag, which the window delivers at its next DoEvents (the loop
// calls DoEvents whenever it wakes). SIGINT while the progress frame is shown (an unticketed
// run) is the Cancel button: confirmed without a question when stdin is no terminal. Any other
// SIGINT, and SIGTERM, is a close request. A SIGINT that arrives while a question waits for
// its answer is dropped: the answer decides.
//
// Single-threaded: every call comes from the program's one thread.

#include <signal.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "app/event_loop.h"
#include "form/window.h"
#include "platform/env.h"

namespace ambervale {

// Where the console window writes and reads. The streams are not owned and must outlive the
// window.
struct ConsoleStreams {
  std::ostream* out = nullptr;  // action list, status and counter lines
  std::ostream* err = nullptr;  // message boxes and questions
  std::istream* in = nullptr;   // answers to questions
  bool in_is_terminal = false;  // questions are asked only on a terminal
  bool utf8 = false;            // texts are converted from Windows-1252 to UTF-8
};

// The process's own stdout, stderr and stdin, with the terminal test (isatty) and the UTF-8
// test of the locale settings (LC_ALL, LC_CTYPE, LANG in that order).
ConsoleStreams StandardConsoleStreams();

// True when the locale named by these variables (first non-empty wins) uses UTF-8.
bool LocaleIsUtf8(const char* lc_all, const char* lc_ctype, const char* lang);

// Catches SIGINT and SIGTERM while it exists and restores the previous handlers afterwards.
// At most one may exist at a time (the handler state is process-wide by nature).
class ConsoleSignals {
 public:
  ConsoleSignals();
  ~ConsoleSignals();
  ConsoleSignals(const ConsoleSignals&) = delete;
  ConsoleSignals& operator=(const ConsoleSignals&) = delete;

  // The signals caught since the last call, as bits (kInterrupt, kTerminate); clears them.
  [[nodiscard]] unsigned TakePending();
  // Forgets caught SIGINTs (a question was answered meanwhile).
  void DropInterrupts();

  static constexpr unsigned kInterrupt = 1;
  static constexpr unsigned kTerminate = 2;

 private:
  struct sigaction old_interrupt_ {};
  struct sigaction old_terminate_ {};
};

class ConsoleWindow : public Window {
 public:
  explicit ConsoleWindow(ConsoleStreams streams);
  ConsoleWindow(const ConsoleWindow&) = delete;
  ConsoleWindow& operator=(const ConsoleWindow&) = delete;

  // Receives "Question answered No (no terminal): <first line of the question>" whenever a
  // question is answered without asking. The app routes it to the action log. The hook may
  // add list lines to this window.
  void set_answer_hook(std::function<void(std::string_view)> hook) {
    answer_hook_ = std::move(hook);
  }
  // The signals to deliver at DoEvents; nullptr detaches. Set by ConsoleEventLoop.
  void AttachSignals(ConsoleSignals* signals) { signals_ = signals; }

  void SetEventHandler(WindowEvents* handler) override { handler_ = handler; }
  void SetCaption(Control control, std::string_view text) override;
  void SetBackColour(Control control, uint32_t bgr) override;
  void SetBold(Control, bool) override {}
  void SetVisible(Control control, bool visible) override;
  void SetProgressMax(int) override {}
  void SetProgressValue(int) override {}
  int ListCount() override { return static_cast<int>(list_.size()); }
  void AddListLine(std::string_view line) override;
  void RemoveListLine(int index) override;
  void SelectListLine(int index) override { selected_ = index; }
  std::string SelectedListLine() override;
  BoxAnswer ShowMessageBox(std::string_view text, BoxButtons buttons, BoxIcon icon,
                           std::string_view title) override;
  void DoEvents() override;

 private:
  std::string Text(std::string_view cp1252) const;
  std::string Caption(Control control) const;
  void PrintStatus(Control label);
  void FlushCounters();
  void DeliverSignals();
  BoxAnswer Ask(std::string_view text);

  ConsoleStreams io_;
  WindowEvents* handler_ = nullptr;
  ConsoleSignals* signals_ = nullptr;
  std::function<void(std::string_view)> answer_hook_;
  std::map<Control, std::string> captions_;
  std::map<Control, bool> visible_;
  std::deque<std::string> list_;
  int selected_ = -1;
  bool counters_dirty_ = false;
  std::optional<std::string> last_status_;  // the last stage shown, to print changes only
  bool delivering_ = false;
};

// The program's timer loop on the console. Installs the signal handlers (ConsoleSignals) and
// attaches them to `window` for its lifetime. Neither argument is owned; both must outlive it.
class ConsoleEventLoop : public EventLoop {
 public:
  ConsoleEventLoop(Env& env, ConsoleWindow& window);
  ~ConsoleEventLoop() override;
  ConsoleEventLoop(const ConsoleEventLoop&) = delete;
  ConsoleEventLoop& operator=(const ConsoleEventLoop&) = delete;

  void SetTimer(int interval_ms, std::function<void()> on_tick) override;
  // Wakes at least every kPollMs to deliver signals; returns the code given to Quit. A Quit
  // before Exec makes Exec return at once.
  int Exec() override;
  void Quit(int exit_code) override;

  static constexpr int64_t kPollMs = 100;

 private:
  void RunTick();

  Env& env_;
  ConsoleWindow& window_;
  ConsoleSignals signals_;
  int interval_ms_ = 0;
  std::function<void()> on_tick_;
  TimePoint next_tick_;
  bool quit_ = false;
  int exit_code_ = 0;
};

}  // namespace ambervale

#include "app/console_window.h"

#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "testing/fake_env.h"

namespace ambervale::testing {
namespace {

struct RecordingEvents : WindowEvents {
  explicit RecordingEvents(EventLoop* l = nullptr) : loop(l) {}
  // Ends the loop (when there is one) with code 3 on a close request.
  void OnCloseRequest() override {
    ++closes;
    if (loop != nullptr) loop->Quit(3);
  }
  void OnActionLogDoubleClick() override {}
  void OnCancelClick(bool confirmed) override { cancels.push_back(confirmed); }
  EventLoop* loop;
  int closes = 0;
  std::vector<bool> cancels;
};

class ConsoleWindowTest : public ::testing::Test {
 protected:
  ConsoleStreams Streams(bool terminal = false, bool utf8 = true) {
    return ConsoleStreams{&out_, &err_, &in_, terminal, utf8};
  }
  // What the core's ShowStatus does: all four labels grey, then one highlighted.
  static void ShowStatus(Window& w, Control label, std::string_view countdown = "") {
    for (Control c : {Control::kLblCountDown, Control::kLblPeekQueue,
                      Control::kLblRetrieveDataFromQueue, Control::kLblMoveQueue}) {
      w.SetBackColour(c, kGrey);
    }
    if (label == Control::kLblCountDown) w.SetCaption(label, "Count down" + std::string(countdown));
    w.SetBackColour(label, kHighlight);
    w.DoEvents();
  }

  std::ostringstream out_;
  std::ostringstream err_;
  std::istringstream in_;
  FakeEnv env_;
};

// Stdout: list lines in the console's encoding, stage changes, every tenth countdown second,
// counters once after they change, progress texts. Boxes go to stderr.
TEST_F(ConsoleWindowTest, PrintsWhatTheStatusPanelShows) {
  ConsoleWindow w(Streams());
  w.AddListLine("2026/12/06 10:00:00 - Caf\xE9 \xB7 \x80 moved");
  for (int remaining = 59; remaining >= 0; --remaining) {
    ShowStatus(w, Control::kLblCountDown, " (" + std::to_string(remaining) + ")");
  }
  using enum Control;
  for (const auto& [c, countdown] :
       std::vector<std::pair<Control, const char*>>{{kLblPeekQueue, ""},
                                                    {kLblPeekQueue, ""},
                                                    {kLblRetrieveDataFromQueue, ""},
                                                    {kLblMoveQueue, ""},
                                                    {kLblCountDown, " (45)"},
                                                    {kLblCountDown, " (44)"},
                                                    {kLblCountDown, ""}}) {
    ShowStatus(w, c, countdown);
  }
  // The eight counters in the order frmMain refreshes them.
  const auto refresh = [&w](std::vector<const char*> texts) {
    const Control counters[] = {kLbSuccessCount,      kLbSuccessSubCount, kLbFailCount,
                                kLbFailSubCount,      kLblSuccessToFailQ, kLblFailToFailQ,
                                kLblSuccessFromFailQ, kLblFailFromFailQ};
    for (size_t i = 0; i < texts.size(); ++i) w.SetCaption(counters[i], texts[i]);
  };
  refresh({"3", "(1)", "2", "", "0", "0", "0", "0"});
  w.DoEvents();
  refresh({"3", "(1)", "2", "", "0", "0", "0", "0"});
  w.DoEvents();
  w.SetCaption(Control::kFrmToFail, "To Fail Queue");
  refresh({"4", "", "2", "", "1", "0", "0", "0"});
  w.AddListLine("two\r\nlines");
  w.SetCaption(Control::kLabel6, "Processing PCC 1 of 3");
  EXPECT_EQ(out_.str(),
            "2026/12/06 10:00:00 - Caf\xC3\xA9 \xC2\xB7 \xE2\x82\xAC moved\n"
            "[status] Count down (59)\n[status] Count down (50)\n[status] Count down (40)\n"
            "[status] Count down (30)\n[status] Count down (20)\n[status] Count down (10)\n"
            "[status] Count down (0)\n[status] Peek queue\n[status] Retrieve PNR from queue\n"
            "[status] Move PNR to destination queue\n[status] Count down (45)\n"
            "[status] Count down\n[counters] moved 3 (1) failed 2\n"
            "[counters] moved 4 failed 2 | To Fail Queue: moved 1 failed 0\ntwo\nlines\n"
            "[progress] Processing PCC 1 of 3\n");
  EXPECT_EQ(w.ShowMessageBox("Settings file missing.\r\nPlease check.", BoxButtons::kOk,
                             BoxIcon::kCritical, ""),
            BoxAnswer::kOk);
  EXPECT_EQ(
      w.ShowMessageBox("2026/12/06 - \xE9", BoxButtons::kOk, BoxIcon::kNone, "Action Log Message"),
      BoxAnswer::kOk);
  EXPECT_EQ(err_.str(),
            "[box] Ambervale (critical)\n  Settings file missing.\n  Please check.\n"
            "[box] Action Log Message\n  2026/12/06 - \xC3\xA9\n");

  ConsoleWindow raw(Streams(false, false));
  out_.str("");
  raw.AddListLine("Caf\xE9");
  EXPECT_EQ(out_.str(), "Caf\xE9\n");
}

TEST_F(ConsoleWindowTest, KeepsTheListForRemovalAndSelection) {
  ConsoleWindow w(Streams());
  for (const char* l : {"a", "b", "c"}) w.AddListLine(l);
  w.SelectListLine(2);
  for (int at : {0, 7, -1}) w.RemoveListLine(at);
  EXPECT_EQ(w.SelectedListLine(), "c") << "the selection follows its line";
  w.RemoveListLine(1);
  EXPECT_EQ(w.SelectedListLine(), "");
  EXPECT_EQ(w.ListCount(), 1);
}

// A question is read from a terminal; without one it is answered No and reported.
TEST_F(ConsoleWindowTest, AnswersQuestions) {
  const struct {
    const char* input;
    bool terminal;
    BoxAnswer answer;
  } kCases[] = {{"y\n", true, BoxAnswer::kYes},    {"YES\n", true, BoxAnswer::kYes},
                {"  y \n", true, BoxAnswer::kYes}, {"n\n", true, BoxAnswer::kNo},
                {"", true, BoxAnswer::kNo},        {"yes please\n", true, BoxAnswer::kNo},
                {"y\n", false, BoxAnswer::kNo}};
  for (const auto& c : kCases) {
    std::istringstream in(c.input);
    std::ostringstream out, err;
    ConsoleWindow w(ConsoleStreams{&out, &err, &in, c.terminal, true});
    std::vector<std::string> reported;
    w.set_answer_hook([&](std::string_view s) { reported.emplace_back(s); });
    EXPECT_EQ(w.ShowMessageBox("\r\nContinue?\r\n\r\n  Click Yes", BoxButtons::kYesNo,
                               BoxIcon::kNone, ""),
              c.answer)
        << "'" << c.input << "' " << c.terminal;
    EXPECT_EQ(reported, c.terminal ? std::vector<std::string>{}
                                   : std::vector<std::string>{
                                         "Question answered No (no terminal): Continue?"});
    EXPECT_EQ(err.str(), std::string("[box] Ambervale\n  \n  Continue?\n  \n    Click Yes\n") +
                             (c.terminal ? "[y/N] " : "  -> No (no terminal)\n"))
        << c.input;
  }
}

TEST_F(ConsoleWindowTest, DeliversSignalsAtTheNextDoEventsOnce) {
  const struct {
    const char* name;
    int signal;
    bool progress_shown;
    bool terminal;
    int closes;
    std::vector<bool> cancels;
  } kCases[] = {
      {"SIGINT between runs", SIGINT, false, false, 1, {}},
      {"SIGTERM between runs", SIGTERM, false, true, 1, {}},
      {"SIGINT in unticketed run, no terminal", SIGINT, true, false, 0, {true}},
      {"SIGINT in unticketed run, terminal", SIGINT, true, true, 0, {false}},
      {"SIGTERM in unticketed run", SIGTERM, true, false, 1, {}},
  };
  struct sigaction before {};
  sigaction(SIGINT, nullptr, &before);
  for (const auto& c : kCases) {
    ConsoleWindow w(Streams(c.terminal));
    std::optional<ConsoleEventLoop> loop(std::in_place, env_, w);
    RecordingEvents events;
    w.SetEventHandler(&events);
    w.SetVisible(Control::kFrmProgressBar, c.progress_shown);
    ASSERT_EQ(std::raise(c.signal), 0);
    EXPECT_EQ(events.closes, 0) << c.name << ": nothing happens in the handler";
    w.DoEvents();
    w.DoEvents();
    EXPECT_EQ(events.closes, c.closes) << c.name;
    EXPECT_EQ(events.cancels, c.cancels) << c.name;
    loop.reset();
    struct sigaction after {};
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler) << c.name << ": the handler is restored";
  }
  // A signal waits for a handler; one caught while a question waits is dropped.
  ConsoleWindow w(Streams(/*terminal=*/true));
  ConsoleEventLoop loop(env_, w);
  RecordingEvents events;
  ASSERT_EQ(std::raise(SIGTERM), 0);
  w.DoEvents();
  w.SetEventHandler(&events);
  w.DoEvents();
  EXPECT_EQ(events.closes, 1);
  in_.str("n\n");
  ASSERT_EQ(std::raise(SIGINT), 0);
  EXPECT_EQ(w.ShowMessageBox("Continue?", BoxButtons::kYesNo, BoxIcon::kNone, ""), BoxAnswer::kNo);
  w.DoEvents();
  EXPECT_EQ(events.closes, 1);
}

// The loop ticks on the clock, polls signals in short waits, has no burst of late ticks after a
// long one, and ends on Quit or on a close request by signal.
TEST_F(ConsoleWindowTest, TheLoopTicksOnTheClock) {
  ConsoleWindow w(Streams());
  {
    ConsoleEventLoop quit(env_, w);
    quit.Quit(5);
    EXPECT_EQ(quit.Exec(), 5);
    EXPECT_TRUE(env_.sleeps().empty());
  }
  ConsoleEventLoop loop(env_, w);
  RecordingEvents events(&loop);
  w.SetEventHandler(&events);
  const TimePoint start = env_.Now();
  std::vector<int64_t> tick_ms;
  loop.SetTimer(1000, [&] {
    tick_ms.push_back((env_.Now() - start) / std::chrono::milliseconds(1));
    if (tick_ms.size() == 1) env_.SleepMs(5500);  // a run inside the tick
    if (tick_ms.size() == 3) std::raise(SIGINT);
  });
  EXPECT_EQ(loop.Exec(), 3);
  EXPECT_EQ(tick_ms, (std::vector<int64_t>{1000, 7500, 8500}));
  for (int64_t s : env_.sleeps()) EXPECT_TRUE(s == 5500 || s <= ConsoleEventLoop::kPollMs) << s;
}

TEST_F(ConsoleWindowTest, StoppingTheTimerInsideATickStopsTheTicks) {
  // Sends SIGTERM after 150 waits, long after further ticks would have come.
  struct SignallingEnv : FakeEnv {
    void SleepMs(int64_t ms) override {
      FakeEnv::SleepMs(ms);
      if (sleeps().size() == 150) std::raise(SIGTERM);
    }
  } env;
  ConsoleWindow w(Streams());
  ConsoleEventLoop loop(env, w);
  RecordingEvents events(&loop);
  w.SetEventHandler(&events);
  int ticks = 0;
  loop.SetTimer(1000, [&] {
    ++ticks;
    loop.SetTimer(0, nullptr);
  });
  EXPECT_EQ(loop.Exec(), 3);
  EXPECT_EQ(ticks, 1);
}

TEST(LocaleIsUtf8Test, FollowsThePosixPrecedence) {
  const struct {
    const char* lc_all;
    const char* lc_ctype;
    const char* lang;
    bool utf8;
  } kCases[] = {
      {nullptr, nullptr, nullptr, false},
      {nullptr, nullptr, "en_GB.UTF-8", true},
      {"", "", "C.utf8", true},
      {"C", nullptr, "en_GB.UTF-8", false},
      {nullptr, "de_DE.ISO-8859-1", "C.UTF-8", false},
      {nullptr, "en_US.utf8", "C", true},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(LocaleIsUtf8(c.lc_all, c.lc_ctype, c.lang), c.utf8)
        << (c.lc_all ? c.lc_all : "-") << " " << (c.lc_ctype ? c.lc_ctype : "-") << " "
        << (c.lang ? c.lang : "-");
  }
}

}  // namespace
}  // namespace ambervale::testing

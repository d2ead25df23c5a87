#include "app/console_window.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <string>
#include <vector>

#include "testing/fake_env.h"

namespace ambervale {
namespace {

struct RecordingEvents : WindowEvents {
  void OnCloseRequest() override { ++closes; }
  void OnActionLogDoubleClick() override { ++double_clicks; }
  void OnCancelClick(bool confirmed) override { cancels.push_back(confirmed); }
  int closes = 0;
  int double_clicks = 0;
  std::vector<bool> cancels;
};

// Ends the loop with code 3 on a close request.
struct QuitOnClose : RecordingEvents {
  explicit QuitOnClose(EventLoop& l) : loop(l) {}
  void OnCloseRequest() override { loop.Quit(3); }
  EventLoop& loop;
};

class ConsoleWindowTest : public ::testing::Test {
 protected:
  ConsoleStreams Streams(bool terminal = false, bool utf8 = true) {
    return ConsoleStreams{&out_, &err_, &in_, terminal, utf8};
  }
  // What the core's ShowStatus does: all four labels grey, then one highlighted.
  static void ShowStatus(Window& w, Control label, std::string_view countdown_text = "") {
    for (Control c : {Control::kLblCountDown, Control::kLblPeekQueue,
                      Control::kLblRetrieveDataFromQueue, Control::kLblMoveQueue}) {
      w.SetBackColour(c, kGrey);
    }
    if (label == Control::kLblCountDown) {
      w.SetCaption(label, "Count down" + std::string(countdown_text));
    }
    w.SetBackColour(label, kHighlight);
    w.DoEvents();
  }
  std::vector<std::string> OutLines() const {
    std::vector<std::string> lines;
    std::istringstream s(out_.str());
    for (std::string line; std::getline(s, line);) lines.push_back(line);
    return lines;
  }

  std::ostringstream out_;
  std::ostringstream err_;
  std::istringstream in_;
};

TEST_F(ConsoleWindowTest, PrintsListLinesAsAddedInTheConsoleEncoding) {
  const std::string line = "2026/12/06 10:00:00 - Caf\xE9 \xB7 \x80 moved";
  {
    ConsoleWindow utf8(Streams(false, true));
    utf8.AddListLine(line);
    EXPECT_EQ(out_.str(), "2026/12/06 10:00:00 - Caf\xC3\xA9 \xC2\xB7 \xE2\x82\xAC moved\n");
    EXPECT_EQ(utf8.ListCount(), 1);
  }
  out_.str("");
  ConsoleWindow raw(Streams(false, false));
  raw.AddListLine(line);
  raw.AddListLine("two\r\nlines");
  EXPECT_EQ(out_.str(), line + "\ntwo\nlines\n");
}

TEST_F(ConsoleWindowTest, KeepsTheListForRemovalAndSelection) {
  ConsoleWindow w(Streams());
  for (const char* l : {"a", "b", "c"}) w.AddListLine(l);
  w.SelectListLine(2);
  EXPECT_EQ(w.SelectedListLine(), "c");
  w.RemoveListLine(0);
  EXPECT_EQ(w.ListCount(), 2);
  EXPECT_EQ(w.SelectedListLine(), "c") << "the selection follows its line";
  w.RemoveListLine(7);
  w.RemoveListLine(-1);
  EXPECT_EQ(w.ListCount(), 2);
  w.RemoveListLine(1);
  EXPECT_EQ(w.SelectedListLine(), "");
  w.SelectListLine(-1);
  EXPECT_EQ(w.SelectedListLine(), "");
}

TEST_F(ConsoleWindowTest, PrintsStageChangesAndEveryTenthCountdownSecond) {
  ConsoleWindow w(Streams());
  for (int remaining = 59; remaining >= 0; --remaining) {
    ShowStatus(w, Control::kLblCountDown, " (" + std::to_string(remaining) + ")");
  }
  ShowStatus(w, Control::kLblPeekQueue);
  ShowStatus(w, Control::kLblPeekQueue);
  ShowStatus(w, Control::kLblRetrieveDataFromQueue);
  ShowStatus(w, Control::kLblMoveQueue);
  ShowStatus(w, Control::kLblRetrieveDataFromQueue);
  ShowStatus(w, Control::kLblCountDown, " (45)");
  ShowStatus(w, Control::kLblCountDown, " (44)");
  ShowStatus(w, Control::kLblCountDown, "");
  const std::vector<std::string> expected = {
      "[status] Count down (59)",
      "[status] Count down (50)",
      "[status] Count down (40)",
      "[status] Count down (30)",
      "[status] Count down (20)",
      "[status] Count down (10)",
      "[status] Count down (0)",
      "[status] Peek queue",
      "[status] Retrieve PNR from queue",
      "[status] Move PNR to destination queue",
      "[status] Retrieve PNR from queue",
      "[status] Count down (45)",
      "[status] Count down",
  };
  EXPECT_EQ(OutLines(), expected);
}

TEST_F(ConsoleWindowTest, PrintsCountersOnceAfterTheyChange) {
  ConsoleWindow w(Streams());
  const auto refresh = [&w](const char* moved, const char* moved_sub, const char* to_fail) {
    w.SetCaption(Control::kLbSuccessCount, moved);
    w.SetCaption(Control::kLbSuccessSubCount, moved_sub);
    w.SetCaption(Control::kLbFailCount, "2");
    w.SetCaption(Control::kLbFailSubCount, "");
    w.SetCaption(Control::kLblSuccessToFailQ, to_fail);
    w.SetCaption(Control::kLblFailToFailQ, "0");
    w.SetCaption(Control::kLblSuccessFromFailQ, "0");
    w.SetCaption(Control::kLblFailFromFailQ, "0");
  };
  refresh("3", "(1)", "0");
  w.DoEvents();
  refresh("3", "(1)", "0");
  w.DoEvents();
  w.SetCaption(Control::kFrmToFail, "To Fail Queue");
  refresh("4", "", "1");
  w.AddListLine("moved");
  const std::vector<std::string> expected = {
      "[counters] moved 3 (1) failed 2",
      "[counters] moved 4 failed 2 | To Fail Queue: moved 1 failed 0",
      "moved",
  };
  EXPECT_EQ(OutLines(), expected);
}

TEST_F(ConsoleWindowTest, PrintsProgressTexts) {
  ConsoleWindow w(Streams());
  w.SetCaption(Control::kLabel6, "Processing PCC 1 of 3");
  EXPECT_EQ(out_.str(), "[progress] Processing PCC 1 of 3\n");
}

TEST_F(ConsoleWindowTest, ShowsBoxesOnStderrWithTitleAndIcon) {
  ConsoleWindow w(Streams());
  EXPECT_EQ(w.ShowMessageBox("Settings file missing.\r\nPlease check.", BoxButtons::kOk,
                             BoxIcon::kCritical, ""),
            BoxAnswer::kOk);
  EXPECT_EQ(
      w.ShowMessageBox("2026/12/06 - \xE9", BoxButtons::kOk, BoxIcon::kNone, "Action Log Message"),
      BoxAnswer::kOk);
  EXPECT_EQ(err_.str(),
            "[box] Ambervale (critical)\n  Settings file missing.\n  Please check.\n"
            "[box] Action Log Message\n  2026/12/06 - \xC3\xA9\n");
  EXPECT_EQ(out_.str(), "");
}

TEST_F(ConsoleWindowTest, AnswersQuestionsNoWithoutATerminalAndReportsIt) {
  ConsoleWindow w(Streams(/*terminal=*/false));
  std::vector<std::string> reported;
  w.set_answer_hook([&](std::string_view s) { reported.emplace_back(s); });
  in_.str("y\n");  // never read: stdin is no terminal
  const std::string question =
      "\r\n Are you sure you want to cancel this progress?\r\n\r\n         Click Yes";
  EXPECT_EQ(w.ShowMessageBox(question, BoxButtons::kYesNo, BoxIcon::kNone, "Cancel"),
            BoxAnswer::kNo);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0],
            "Question answered No (no terminal): Are you sure you want to cancel this progress?");
  EXPECT_NE(err_.str().find("-> No (no terminal)"), std::string::npos) << err_.str();
}

TEST_F(ConsoleWindowTest, ReadsAnswersFromATerminal) {
  const struct {
    const char* input;
    BoxAnswer answer;
  } kCases[] = {{"y\n", BoxAnswer::kYes},        {"YES\n", BoxAnswer::kYes},
                {"  y \n", BoxAnswer::kYes},     {"n\n", BoxAnswer::kNo},
                {"\n", BoxAnswer::kNo},          {"", BoxAnswer::kNo},
                {"yes please\n", BoxAnswer::kNo}};
  for (const auto& c : kCases) {
    std::istringstream in(c.input);
    std::ostringstream out, err;
    ConsoleWindow w(ConsoleStreams{&out, &err, &in, true, true});
    int hooked = 0;
    w.set_answer_hook([&](std::string_view) { ++hooked; });
    EXPECT_EQ(w.ShowMessageBox("Continue?", BoxButtons::kYesNo, BoxIcon::kNone, ""), c.answer)
        << "'" << c.input << "'";
    EXPECT_EQ(hooked, 0);
    EXPECT_EQ(err.str(), "[box] Ambervale\n  Continue?\n[y/N] ");
  }
}

class ConsoleSignalTest : public ConsoleWindowTest {
 protected:
  FakeEnv env_;
  RecordingEvents events_;
};

TEST_F(ConsoleSignalTest, DeliversSignalsAtTheNextDoEvents) {
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
  for (const auto& c : kCases) {
    ConsoleWindow w(Streams(c.terminal));
    ConsoleEventLoop loop(env_, w);
    RecordingEvents events;
    w.SetEventHandler(&events);
    w.SetVisible(Control::kFrmProgressBar, c.progress_shown);
    ASSERT_EQ(std::raise(c.signal), 0);
    EXPECT_EQ(events.closes, 0) << c.name << ": nothing happens in the handler";
    w.DoEvents();
    EXPECT_EQ(events.closes, c.closes) << c.name;
    EXPECT_EQ(events.cancels, c.cancels) << c.name;
    w.DoEvents();
    EXPECT_EQ(events.closes, c.closes) << c.name << ": delivered once";
  }
}

TEST_F(ConsoleSignalTest, KeepsSignalsUntilAHandlerIsThere) {
  ConsoleWindow w(Streams());
  ConsoleEventLoop loop(env_, w);
  ASSERT_EQ(std::raise(SIGTERM), 0);
  w.DoEvents();
  w.SetEventHandler(&events_);
  w.DoEvents();
  EXPECT_EQ(events_.closes, 1);
}

TEST_F(ConsoleSignalTest, DropsAnInterruptCaughtWhileAQuestionWaits) {
  in_.str("n\n");
  ConsoleWindow w(Streams(/*terminal=*/true));
  ConsoleEventLoop loop(env_, w);
  w.SetEventHandler(&events_);
  ASSERT_EQ(std::raise(SIGINT), 0);  // as if pressed while the prompt waits
  EXPECT_EQ(w.ShowMessageBox("Continue?", BoxButtons::kYesNo, BoxIcon::kNone, ""), BoxAnswer::kNo);
  w.DoEvents();
  EXPECT_EQ(events_.closes, 0);
}

TEST_F(ConsoleSignalTest, RestoresTheSignalHandlersAfterTheLoop) {
  struct sigaction before {};
  sigaction(SIGINT, nullptr, &before);
  {
    ConsoleWindow w(Streams());
    ConsoleEventLoop loop(env_, w);
    struct sigaction during {};
    sigaction(SIGINT, nullptr, &during);
    EXPECT_NE(during.sa_handler, before.sa_handler);
  }
  struct sigaction after {};
  sigaction(SIGINT, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

TEST_F(ConsoleSignalTest, ACloseRequestBySignalCanEndTheLoop) {
  ConsoleWindow w(Streams());
  ConsoleEventLoop loop(env_, w);
  QuitOnClose events(loop);
  w.SetEventHandler(&events);
  int ticks = 0;
  loop.SetTimer(1000, [&] {
    if (++ticks == 2) std::raise(SIGINT);
  });
  EXPECT_EQ(loop.Exec(), 3);
  EXPECT_EQ(ticks, 2);
}

TEST_F(ConsoleSignalTest, TicksOnTheClockAndWakesToPollSignals) {
  ConsoleWindow w(Streams());
  ConsoleEventLoop loop(env_, w);
  const TimePoint start = env_.Now();
  std::vector<int64_t> tick_ms;
  loop.SetTimer(1000, [&] {
    tick_ms.push_back(
        std::chrono::duration_cast<std::chrono::milliseconds>(env_.Now() - start).count());
    if (tick_ms.size() == 3) loop.Quit(7);
  });
  EXPECT_EQ(loop.Exec(), 7);
  EXPECT_EQ(tick_ms, (std::vector<int64_t>{1000, 2000, 3000}));
  for (int64_t s : env_.sleeps()) EXPECT_LE(s, ConsoleEventLoop::kPollMs);
}

TEST_F(ConsoleSignalTest, ALongTickDoesNotCauseABurstOfLateTicks) {
  ConsoleWindow w(Streams());
  ConsoleEventLoop loop(env_, w);
  const TimePoint start = env_.Now();
  std::vector<int64_t> tick_ms;
  loop.SetTimer(1000, [&] {
    tick_ms.push_back(
        std::chrono::duration_cast<std::chrono::milliseconds>(env_.Now() - start).count());
    if (tick_ms.size() == 1) env_.SleepMs(5500);  // a run inside the tick
    if (tick_ms.size() == 3) loop.Quit(0);
  });
  EXPECT_EQ(loop.Exec(), 0);
  EXPECT_EQ(tick_ms, (std::vector<int64_t>{1000, 7500, 8500}));
}

TEST_F(ConsoleSignalTest, StoppingTheTimerInsideATickStopsTheTicks) {
  // Sends SIGTERM after 150 waits, long after further ticks would have come.
  struct SignallingEnv : FakeEnv {
    void SleepMs(int64_t ms) override {
      FakeEnv::SleepMs(ms);
      if (sleeps().size() == 150) std::raise(SIGTERM);
    }
  } env;
  ConsoleWindow w(Streams());
  ConsoleEventLoop loop(env, w);
  QuitOnClose events(loop);
  w.SetEventHandler(&events);
  int ticks = 0;
  loop.SetTimer(1000, [&] {
    ++ticks;
    loop.SetTimer(0, nullptr);
  });
  EXPECT_EQ(loop.Exec(), 3);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(env.sleeps().size(), 150u);
}

TEST_F(ConsoleSignalTest, QuitBeforeExecReturnsAtOnce) {
  ConsoleWindow w(Streams());
  ConsoleEventLoop loop(env_, w);
  loop.Quit(5);
  EXPECT_EQ(loop.Exec(), 5);
  EXPECT_TRUE(env_.sleeps().empty());
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
}  // namespace ambervale

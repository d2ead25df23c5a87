#include "app/console_window.h"

#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/service_notifier.h"
#include "form/frm_main.h"
#include "logs/logs.h"
#include "testing/fake_env.h"
#include "testing/recording_window.h"

namespace ambervale::testing {
namespace {

class ConsoleWindowTest : public ::testing::Test {
 protected:
  ConsoleStreams Streams(bool terminal = false, bool utf8 = true) {
    return ConsoleStreams{&out_, &err_, &in_, terminal, utf8};
  }

  std::ostringstream out_;
  std::ostringstream err_;
  std::istringstream in_;
  FakeEnv env_;
};

// Stdout: list lines in the console's encoding, stage changes, every tenth countdown second,
// counters once after they change, progress texts. The service status gets the same counters
// line (the Fail Queue frame's caption is the start-up's, in its golden file).
TEST_F(ConsoleWindowTest, PrintsWhatTheStatusPanelShows) {
  ConsoleWindow w(Streams());
  Logs logs(env_, env_.ProgramFolder() + "/logs");
  frmMain form(env_, w, logs);
  std::string status;  // each line sent, "|" after it
  ServiceNotifier notifier(env_, [&](const std::string& sent) { status += sent + "|"; });
  form.set_service_status(&notifier);
  form.FailQueueActivated = true;
  w.AddListLine("2026/12/06 10:00:00 - Caf\xE9 \xB7 \x80 moved");
  for (int remaining = 59; remaining >= 0; --remaining) {
    form.ShowStatus(Stage::kCountdown, " (" + std::to_string(remaining) + ")");
  }
  for (Stage s :
       {Stage::kPeekQueue, Stage::kPeekQueue, Stage::kRetrieveData, Stage::kCheckNewData}) {
    form.ShowStatus(s);
  }
  for (const char* countdown : {" (45)", " (44)", ""})
    form.ShowStatus(Stage::kCountdown, countdown);
  form.intSuccessCount = 3;
  form.intSuccessSubCount = 1;
  form.intFailCount = 2;
  for (int i = 0; i < 2; ++i) {
    form.RefreshCounters();
    w.DoEvents();
  }
  w.SetCaption(Control::kFrmToFail, "To Fail Queue");
  form.intSuccessSubCount = 0;
  form.intSuccessCount = 4;
  form.lngSuccessOrgQ2FailQCount = 1;
  form.RefreshCounters();
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
  EXPECT_EQ(status,
            "STATUS=moved 3 (1) failed 2|STATUS=moved 4 failed 2 | To Fail Queue: moved 1 failed "
            "0|");

  ConsoleWindow raw(Streams(false, false));
  out_.str("");
  raw.AddListLine("Caf\xE9");
  EXPECT_EQ(out_.str(), "Caf\xE9\n");
}

// A question is read from a terminal; without one it is answered No (the program test sees the
// action log's line of it).
TEST_F(ConsoleWindowTest, AnswersQuestions) {
  const struct {
    const char* input;
    bool terminal;
    BoxAnswer answer;
  } kCases[] = {{"  YES \n", true, BoxAnswer::kYes},
                {"yes please\n", true, BoxAnswer::kNo},
                {"y\n", false, BoxAnswer::kNo}};
  for (const auto& c : kCases) {
    std::istringstream in(c.input);
    std::ostringstream out, err;
    ConsoleWindow w(ConsoleStreams{&out, &err, &in, c.terminal, true});
    EXPECT_EQ(w.ShowMessageBox("\r\nContinue?\r\n\r\n  Click Yes", BoxButtons::kYesNo,
                               BoxIcon::kNone, ""),
              c.answer)
        << c.input;
    EXPECT_EQ(err.str(), std::string("[box] Ambervale\n  \n  Continue?\n  \n    Click Yes\n") +
                             (c.terminal ? "[y/N] " : "  -> No (no terminal)\n"))
        << c.input;
  }
}

// SIGINT with the progress frame shown is Cancel (confirmed without a terminal), any other
// signal a close request (SIGINT without the frame: the loop test); delivered at the next
// DoEvents, once, and only to a handler; one caught while a question waits is dropped.
TEST_F(ConsoleWindowTest, DeliversSignalsAtTheNextDoEventsOnce) {
  const struct {
    int signal;
    bool terminal;
    bool question;  // caught while a question waits for its answer: dropped
    int closes;
    std::vector<bool> cancels;
  } kCases[] = {{SIGINT, false, false, 0, {true}},
                {SIGINT, true, false, 0, {false}},
                {SIGTERM, false, false, 1, {}},
                {SIGINT, true, true, 0, {}}};
  struct sigaction before {};
  sigaction(SIGINT, nullptr, &before);
  for (const auto& c : kCases) {
    ConsoleWindow w(Streams(c.terminal));
    std::optional<ConsoleEventLoop> loop(std::in_place, env_, w);
    RecordingEvents events;
    w.SetVisible(Control::kFrmProgressBar, true);
    in_.str("n\n");
    ASSERT_EQ(std::raise(c.signal), 0);
    if (c.question) {
      EXPECT_EQ(w.ShowMessageBox("Go on?", BoxButtons::kYesNo, BoxIcon::kNone, ""), BoxAnswer::kNo);
    }
    w.DoEvents();  // no handler yet: the signal waits
    w.SetEventHandler(&events);
    w.DoEvents();
    w.DoEvents();
    EXPECT_EQ(events.closes, c.closes) << c.signal << c.terminal << c.question;
    EXPECT_EQ(events.cancels, c.cancels) << c.signal << c.terminal << c.question;
    loop.reset();
    struct sigaction after {};
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler) << "the handler is restored";
  }
}

// The loop ticks on the clock, polls signals in short waits, has no burst of late ticks after a
// long one, and ends with the code of the Quit that a close request by signal leads to.
TEST_F(ConsoleWindowTest, TheLoopTicksOnTheClock) {
  ConsoleWindow w(Streams());
  ConsoleEventLoop loop(env_, w);
  RecordingEvents events;
  events.on_close = [&loop] { loop.Quit(3); };
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

TEST(LocaleIsUtf8Test, FollowsThePosixPrecedence) {
  EXPECT_FALSE(LocaleIsUtf8(nullptr, nullptr, nullptr));
  EXPECT_TRUE(LocaleIsUtf8("", "", "C.utf8"));
  EXPECT_FALSE(LocaleIsUtf8("C", nullptr, "en_GB.UTF-8"));
  EXPECT_TRUE(LocaleIsUtf8(nullptr, "en_US.UTF-8", "C"));
}

}  // namespace
}  // namespace ambervale::testing

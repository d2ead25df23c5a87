#include "app/run_cycle.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

using Texts = std::vector<std::string>;
const Texts kStopLines = {"Please wait ......", "Ambervale will stop in 2 seconds."};

class RunCycleTest : public ::testing::Test {
 protected:
  bool Tick() { return p.front_end.manual_loop().Tick(); }
  bool Quit() { return p.front_end.manual_loop().quit(); }
  // The list lines without their "yyyy/mm/dd hh:mm:ss - " stamp.
  Texts List() const {
    Texts out;
    for (const std::string& line : p.window.list()) out.push_back(line.substr(22));
    return out;
  }

  TestProgram p;
  RunCycle& cycle = p.Cycle();
};

// Counter 0 runs in every tick; ticks that fall due while a run lets events run are dropped. An
// unexpected error ends its run, not the cycle. A run that ends the program is the cycle's last
// act: the loop quits with the end's code and nothing more is shown or written, whatever close
// request or tick follows.
TEST_F(RunCycleTest, CounterZeroRunsInEveryTickUntilARunEndsTheProgram) {
  p.form.intTimerCounter = 0;
  p.on_run = [&] {
    const int16_t tick = p.form.intTick;
    EXPECT_TRUE(Tick());
    EXPECT_EQ(p.form.intTick, tick);
    if (p.runs == 2) throw std::runtime_error("disk on fire");
    return p.runs == 3 ? ProgramEnd::Exit(7) : ProgramEnd::GoOn();
  };
  cycle.EnableTimer();
  ASSERT_TRUE(Tick());
  Texts shown;
  for (const auto& [control, text] : p.window.caption_history())
    if (control == Control::kLblCountDown) shown.push_back(text);
  EXPECT_EQ(shown, (Texts{"Count down (-1)", "Count down (0)"}));
  ASSERT_TRUE(Tick());
  EXPECT_NE(p.Log("debug_log_1.txt").find("unexpected error: disk on fire"), std::string::npos);
  ASSERT_TRUE(Tick());  // the third run, which ends the program
  const size_t captions = p.window.caption_history().size();
  cycle.OnCloseRequest();
  EXPECT_FALSE(Tick());
  EXPECT_EQ(p.front_end.manual_loop().Exec(), 7);
  EXPECT_EQ(p.window.caption_history().size(), captions);  // no countdown after the run
  EXPECT_EQ(List(), Texts{});                              // no closing lines
}

TEST_F(RunCycleTest, ClosingBetweenRunsStopsAtTheNextTickAfterFiveSeconds) {
  p.form.intTimerCounter = 6;  // the sixth tick would run
  cycle.EnableTimer();
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(Tick());

  // Both phases of the close let window events run, and a tick falls due in each: dropped, so
  // no run starts inside the close and its lines are written once.
  p.window.OnNextDoEvents([&](WindowEvents&) { EXPECT_TRUE(Tick()); });
  cycle.OnCloseRequest();
  p.window.OnNextDoEvents([&](WindowEvents&) { EXPECT_TRUE(Tick()); });
  EXPECT_EQ(List(), Texts{kStopLines[0]});  // the rest waits for the next tick

  ASSERT_TRUE(Tick());
  EXPECT_EQ(List(), kStopLines);
  EXPECT_EQ(p.env.sleeps(), std::vector<int64_t>{5000});
  EXPECT_EQ(p.front_end.closed(), 1);
  EXPECT_TRUE(Quit());
  EXPECT_EQ(p.runs, 0);
  const std::string file = p.Log("action_log_1.txt");
  EXPECT_NE(file.find(" - Ambervale will stop in 2 seconds.\r\n \r\n"), std::string::npos) << file;
  EXPECT_FALSE(Tick());  // the timer is stopped
}

TEST_F(RunCycleTest, ClosingDuringARunStopsAfterTheRunReturns) {
  p.form.intTimerCounter = 1;
  bool stop_seen_by_run = false;
  p.on_run = [&] {
    p.window.OnNextDoEvents([](WindowEvents& events) {
      events.OnCloseRequest();
      events.OnCloseRequest();  // a second request inside the run changes nothing
    });
    p.form.ShowStatus(Stage::kPeekQueue);  // lets pending window events run
    stop_seen_by_run = p.form.blnStopRequested;
    EXPECT_TRUE(p.env.sleeps().empty()) << "the close must wait for the run";
    return ProgramEnd::GoOn();
  };
  cycle.EnableTimer();
  ASSERT_TRUE(Tick());
  EXPECT_TRUE(stop_seen_by_run);
  EXPECT_EQ(List(), kStopLines);  // the wait and the window's close: between runs
  EXPECT_TRUE(Quit());
}

// --runs N: after the Nth run the program closes as if the window had been closed.
TEST_F(RunCycleTest, StopsAfterTheGivenRuns) {
  p.form.intTimerCounter = 0;
  cycle.set_max_runs(2);
  cycle.EnableTimer();
  for (int tick = 0; tick < 9 && Tick(); ++tick) {
  }
  EXPECT_EQ(p.runs, 2);
  EXPECT_EQ(List(), kStopLines);
}

// During start-up a close request only sets the flag; between runs the second one closes.
TEST_F(RunCycleTest, CloseRequestsDuringStartUpOnlySetTheFlag) {
  cycle.set_loading(true);
  cycle.OnCloseRequest();
  cycle.OnCloseRequest();
  cycle.set_loading(false);
  EXPECT_EQ(List(), Texts{kStopLines[0]});  // the flag: the second request unloads
  cycle.OnCloseRequest();
  cycle.OnCloseRequest();  // after the unload: nothing more
  EXPECT_EQ(List(), kStopLines);
  EXPECT_EQ(p.front_end.closed(), 1);
}

}  // namespace
}  // namespace ambervale::testing

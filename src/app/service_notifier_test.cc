#include "app/service_notifier.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/fake_env.h"

namespace ambervale::testing {
namespace {

// Each step: the clock moves `after_ms`, then the call ("ready", "watchdog" or a status text);
// all that is sent, in order.
TEST(ServiceNotifierTest, SendsReadyChangedStatusLinesAndAWatchdogPerSecond) {
  FakeEnv env;
  std::string sent;
  ServiceNotifier notifier(env, [&](const std::string& message) { sent += message + "|"; });
  const std::pair<int64_t, std::string> kSteps[] = {
      {0, "moved 0"}, {0, "watchdog"}, {0, "watchdog"},        {999, "watchdog"}, {0, "moved 0"},
      {0, "ready"},   {1, "watchdog"}, {-3600000, "watchdog"},  // the clock was set back an hour
      {0, "moved 1"}};
  for (const auto& [after_ms, call] : kSteps) {
    env.Advance(after_ms);
    call == "ready"      ? notifier.Ready()
    : call == "watchdog" ? notifier.Watchdog()
                         : notifier.Status(call);
  }
  EXPECT_EQ(sent, "STATUS=moved 0|WATCHDOG=1|READY=1|WATCHDOG=1|WATCHDOG=1|STATUS=moved 1|");
}

}  // namespace
}  // namespace ambervale::testing

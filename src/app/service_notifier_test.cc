#include "app/service_notifier.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/fake_env.h"

namespace ambervale {
namespace {

TEST(ServiceNotifierTest, SendsReadyChangedStatusLinesAndAWatchdogPerSecond) {
  const struct {
    const char* call;  // "ready", "watchdog", or the status text
    int64_t after_ms;  // the clock moves this far before the call
    const char* sent;  // empty: nothing
  } kSteps[] = {
      {"moved 0 failed 0", 0, "STATUS=moved 0 failed 0"},
      {"watchdog", 0, "WATCHDOG=1"},
      {"watchdog", 999, ""},
      {"moved 0 failed 0", 0, ""},
      {"ready", 0, "READY=1"},
      {"watchdog", 1, "WATCHDOG=1"},
      {"watchdog", -3600000, "WATCHDOG=1"},  // the clock was set back an hour
      {"moved 1 failed 0", 0, "STATUS=moved 1 failed 0"},
  };
  FakeEnv env;
  std::string sent;
  ServiceNotifier notifier(env, [&](const std::string& message) { sent += message; });
  for (const auto& s : kSteps) {
    sent.clear();
    env.Advance(s.after_ms);
    const std::string call = s.call;
    if (call == "ready") {
      notifier.Ready();
    } else if (call == "watchdog") {
      notifier.Watchdog();
    } else {
      notifier.Status(call);
    }
    EXPECT_EQ(sent, s.sent) << call << " after " << s.after_ms << " ms";
  }
}

}  // namespace
}  // namespace ambervale

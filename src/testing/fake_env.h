#pragma once

// Test doubles of the Env seam: a clock that moves only when the test or a sleep moves it,
// and a program folder of the test's choosing.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/env.h"

namespace ambervale::testing {

class FakeEnv : public Env {
 public:
  // The clock starts at 2026-12-06 10:00:00 local time (local time is UTC here).
  explicit FakeEnv(std::string program_folder = "");

  TimePoint Now() override { return now_; }
  CivilTime ToLocal(TimePoint t) override;
  void SleepMs(int64_t ms) override;
  std::string ProgramFolder() override { return program_folder_; }
  std::string OperatorName() override { return operator_name_; }

  // Test controls.
  void SetNow(int year, int month, int day, int hour = 10, int minute = 0, int second = 0);
  void Advance(int64_t ms);
  void set_operator_name(std::string name) { operator_name_ = std::move(name); }
  const std::vector<int64_t>& sleeps() const { return sleeps_; }

 private:
  TimePoint now_;
  std::string program_folder_;
  std::string operator_name_ = "Test Operator";
  std::vector<int64_t> sleeps_;
};

}  // namespace ambervale::testing

// The short names, for tests written before the helpers had their own namespace.
namespace ambervale {
using testing::FakeEnv;
}  // namespace ambervale

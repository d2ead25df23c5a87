#pragma once

// Test doubles of the Env seam: a clock that moves only when the test or a sleep moves it,
// and a program folder of the test's choosing.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/env.h"

namespace ambervale::testing {

class FakeEnv : public Env {
 public:
  // The clock starts at 2026-12-06 10:00:00 local time (local time is UTC here).
  explicit FakeEnv(std::string program_folder = "") : program_folder_(std::move(program_folder)) {
    SetNow(2026, 12, 6);
  }

  TimePoint Now() override { return now_; }
  CivilTime ToLocal(TimePoint t) override {
    using namespace std::chrono;
    const auto day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss<nanoseconds> hms{t - day};
    return {static_cast<int>(ymd.year()),
            static_cast<int>(unsigned{ymd.month()}),
            static_cast<int>(unsigned{ymd.day()}),
            static_cast<int>(hms.hours().count()),
            static_cast<int>(hms.minutes().count()),
            static_cast<int>(hms.seconds().count()),
            hms.subseconds().count()};
  }
  void SleepMs(int64_t ms) override {
    sleeps_.push_back(ms);
    Advance(ms);
  }
  std::string ProgramFolder() override { return program_folder_; }
  std::string OperatorName() override { return operator_name_; }

  // Test controls.
  void SetNow(int year, int month, int day, int hour = 10, int minute = 0, int second = 0) {
    using namespace std::chrono;
    now_ = TimePoint(sys_days{std::chrono::year{year} / month / day}) + hours(hour) +
           minutes(minute) + seconds(second);
  }
  void Advance(int64_t ms) { now_ += std::chrono::milliseconds(ms); }
  void set_operator_name(std::string name) { operator_name_ = std::move(name); }
  const std::vector<int64_t>& sleeps() const { return sleeps_; }

 private:
  TimePoint now_;
  std::string program_folder_;
  std::string operator_name_ = "Test Operator";
  std::vector<int64_t> sleeps_;
};

}  // namespace ambervale::testing

#include "testing/fake_env.h"

#include <chrono>

namespace ambervale::testing {

FakeEnv::FakeEnv(std::string program_folder) : program_folder_(std::move(program_folder)) {
  SetNow(2026, 12, 6);
}

CivilTime FakeEnv::ToLocal(TimePoint t) {
  using namespace std::chrono;
  const auto days = floor<std::chrono::days>(t);
  const year_month_day ymd{days};
  const auto in_day = t - days;
  const auto secs = duration_cast<seconds>(in_day).count();
  CivilTime c;
  c.year = static_cast<int>(ymd.year());
  c.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  c.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  c.hour = static_cast<int>(secs / 3600);
  c.minute = static_cast<int>(secs / 60 % 60);
  c.second = static_cast<int>(secs % 60);
  c.nanos = (in_day - seconds(secs)).count();
  return c;
}

void FakeEnv::SleepMs(int64_t ms) {
  sleeps_.push_back(ms);
  Advance(ms);
}

void FakeEnv::SetNow(int year, int month, int day, int hour, int minute, int second) {
  using namespace std::chrono;
  const sys_days d =
      year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                     std::chrono::day{static_cast<unsigned>(day)}};
  now_ = TimePoint(d) + hours(hour) + minutes(minute) + seconds(second);
}

void FakeEnv::Advance(int64_t ms) { now_ += std::chrono::milliseconds(ms); }

}  // namespace ambervale::testing

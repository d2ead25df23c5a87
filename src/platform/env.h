#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace ambervale {

// An absolute moment with nanosecond resolution.
using TimePoint = std::chrono::time_point<std::chrono::system_clock, std::chrono::nanoseconds>;

// A moment broken into the fields of the local calendar and clock.
struct CivilTime {
  int year = 1970;
  int month = 1;  // 1-12
  int day = 1;    // 1-31
  int hour = 0;   // 0-23
  int minute = 0;
  int second = 0;
  int64_t nanos = 0;  // within the second

  friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

// Everything the core needs from the machine that is not a file: the clock, sleeping, where
// the program lives and who runs it. Ending the process is the application's (main returns). The
// core never reads the wall clock or sleeps except through this interface, so tests run on a clock
// they move themselves.
//
// One Env lives for the whole process and is passed by reference; it is used from the
// program's single thread only.
class Env {
 public:
  virtual ~Env() = default;

  // The current moment.
  virtual TimePoint Now() = 0;
  // `t` in local time (the fake clock of the tests treats local time as UTC).
  virtual CivilTime ToLocal(TimePoint t) = 0;
  CivilTime LocalNow() { return ToLocal(Now()); }

  // Blocks the program for `ms` milliseconds (the fake returns at once and moves its clock).
  virtual void SleepMs(int64_t ms) = 0;

  // The program's folder without a trailing "/": the folder of the executable, or
  // AMBERVALE_HOME when that is set. settings.ini, logs/ and the report files live here.
  virtual std::string ProgramFolder() = 0;

  // The operator's readable name in Windows-1252: the login user's full name (GECOS field) or
  // login name; empty when none can be found.
  virtual std::string OperatorName() = 0;
};

// The real machine. `program_folder` empty means: AMBERVALE_HOME when set, else the folder
// of /proc/self/exe.
std::unique_ptr<Env> NewSystemEnv(std::string program_folder = "");

}  // namespace ambervale

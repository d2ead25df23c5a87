#include "platform/env.h"

#include <pwd.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classic_text.h"
#include "platform/cp1252.h"
#include "platform/system_env.h"

namespace ambervale {
namespace {

std::string StripTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string ExecutablePath() {
  std::vector<char> buf(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return "";
  return std::string(buf.data(), static_cast<size_t>(n));
}

struct Account {
  std::string gecos;
  std::string login;
};

// The account of the user running the program, from the password database; the login name
// of the session when the database has no entry.
Account CurrentAccount() {
  const long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(static_cast<size_t>(size > 0 ? size : 16384));
  struct passwd pw;
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found != nullptr) {
    return {found->pw_gecos ? found->pw_gecos : "", found->pw_name ? found->pw_name : ""};
  }
  char login[256];
  if (::getlogin_r(login, sizeof login) == 0) return {"", login};
  return {};
}

class SystemEnv : public Env {
 public:
  explicit SystemEnv(std::string program_folder) : program_folder_(std::move(program_folder)) {}

  TimePoint Now() override {
    return std::chrono::time_point_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now());
  }

  CivilTime ToLocal(TimePoint t) override {
    const int64_t ns = t.time_since_epoch().count();
    int64_t secs = ns / 1000000000;
    int64_t nanos = ns % 1000000000;
    if (nanos < 0) {
      nanos += 1000000000;
      secs -= 1;
    }
    const time_t tt = static_cast<time_t>(secs);
    struct tm tm {};
    CivilTime c;
    if (::localtime_r(&tt, &tm) == nullptr) return c;
    c.year = tm.tm_year + 1900;
    c.month = tm.tm_mon + 1;
    c.day = tm.tm_mday;
    c.hour = tm.tm_hour;
    c.minute = tm.tm_min;
    // A leap second shows as :59, keeping the clock readable as hh:mm:ss.
    c.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    c.nanos = nanos;
    return c;
  }

  void SleepMs(int64_t ms) override {
    if (ms <= 0) return;
    struct timespec left;
    left.tv_sec = static_cast<time_t>(ms / 1000);
    left.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    // A signal cuts the sleep short; the rest is slept after it.
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
  }

  std::string ProgramFolder() override { return program_folder_; }

  std::string OperatorName() override {
    if (!operator_name_) {
      const Account account = CurrentAccount();
      operator_name_ = OperatorNameFromAccount(account.gecos, account.login);
    }
    return *operator_name_;
  }

 private:
  std::string program_folder_;
  std::optional<std::string> operator_name_;
};

}  // namespace

std::string ChooseProgramFolder(std::string_view home, std::string_view executable) {
  if (!home.empty()) return StripTrailingSlashes(std::string(home));
  const size_t slash = executable.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return StripTrailingSlashes(std::string(executable.substr(0, slash)));
}

std::string OperatorNameFromAccount(std::string_view gecos, std::string_view login) {
  // The account database speaks UTF-8; the program's text is Windows-1252. A full name the
  // code page cannot write falls back to the login name.
  const std::string_view full = TrimWhitespace(gecos.substr(0, gecos.find(',')));
  if (full.empty()) return Utf8ToCp1252(login).value_or("");
  std::string name;
  for (const char c : full) {
    if (c != '&') {
      name.push_back(c);
    } else if (!login.empty()) {
      name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(login[0]))));
      name.append(login.substr(1));
    }
  }
  return Utf8ToCp1252(name).value_or(Utf8ToCp1252(login).value_or(""));
}

std::unique_ptr<Env> NewSystemEnv(std::string program_folder) {
  if (program_folder.empty()) {
    const char* home = std::getenv("AMBERVALE_HOME");
    program_folder = ChooseProgramFolder(home ? home : "", ExecutablePath());
  } else {
    program_folder = StripTrailingSlashes(std::move(program_folder));
  }
  return std::make_unique<SystemEnv>(std::move(program_folder));
}

}  // namespace ambervale

#include "testing/smtp_sink.h"

#include <signal.h>

#include <algorithm>

#include "platform/files.h"

namespace ambervale::testing {

SmtpSink::SmtpSink(const std::string& auth, const std::string& password) {
  const std::string command = "exec /usr/bin/python3 '" AMBERVALE_SMTP_SINK_SCRIPT "' '" +
                              dir_.path() + "' --watch-parent --auth " + auth + " --password '" +
                              password + "'";
  pipe_ = ::popen(command.c_str(), "r");
  char line[64] = "";
  if (pipe_ == nullptr || std::fgets(line, sizeof line, pipe_) == nullptr ||
      std::sscanf(line, "%d %d", &port_, &pid_) != 2) {
    status_ = Status::Error("the SMTP sink did not start: " + command);
  }
}

void SmtpSink::Stop() {
  if (pid_ > 0) ::kill(pid_, SIGTERM);
  pid_ = 0;
  if (pipe_ != nullptr) ::pclose(pipe_);  // waits for its end
  pipe_ = nullptr;
}

std::vector<std::string> SmtpSink::Messages() const {
  std::vector<std::string> names = ListFolder(dir_.path());
  std::sort(names.begin(), names.end());
  std::vector<std::string> out;
  for (const std::string& name : names) {
    if (name.ends_with(".txt")) out.push_back(dir_.Read(name));
  }
  return out;
}

}  // namespace ambervale::testing

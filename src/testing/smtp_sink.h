#pragma once

// A real SMTP server on loopback for the mailer's tests: src/testing/smtp_sink.py (aiosmtpd)
// as a child process. Each message is read by Python's own e-mail package, an independent
// reader, and kept as a text: envelope, login, headers (the date and the message id's own part
// masked), the text part, each attachment with its bytes, the defects found.

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/status.h"
#include "testing/golden.h"
#include "testing/temp_dir.h"

namespace ambervale::testing {

class SmtpSink {
 public:
  // `auth`: "none" (no AUTH offered), "offered" (PLAIN and LOGIN for the user "alerts" with
  // the password "secret", without TLS) or "required" (as offered, and no mail before a login).
  explicit SmtpSink(const std::string& auth = "none") {
    const std::string command = "exec /usr/bin/python3 '" + SourceFile("src/testing/smtp_sink.py") +
                                "' '" + dir_.path() + "' --watch-parent --auth " + auth;
    pipe_ = ::popen(command.c_str(), "r");
    char line[64] = "";
    if (pipe_ == nullptr || std::fgets(line, sizeof line, pipe_) == nullptr ||
        std::sscanf(line, "%d %d", &port_, &pid_) != 2) {
      status_ = Status::Error("the SMTP sink did not start: " + command);
    }
  }
  // Ends the server; its port is then closed.
  ~SmtpSink() {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
    if (pipe_ != nullptr) ::pclose(pipe_);  // waits for its end
  }
  SmtpSink(const SmtpSink&) = delete;
  SmtpSink& operator=(const SmtpSink&) = delete;

  // Whether it runs.
  const Status& status() const { return status_; }
  // "127.0.0.1:<port>".
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
  // The messages received so far, in order, as texts.
  std::vector<std::string> Messages() const {
    std::vector<std::string> names = ListFolder(dir_.path());
    std::ranges::sort(names);
    std::vector<std::string> out;
    for (const std::string& name : names) {
      if (name.ends_with(".txt")) out.push_back(dir_.Read(name));
    }
    return out;
  }

 private:
  TempDir dir_;
  Status status_;
  FILE* pipe_ = nullptr;
  int port_ = 0;
  int pid_ = 0;
};

}  // namespace ambervale::testing

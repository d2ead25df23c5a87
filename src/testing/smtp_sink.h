#pragma once

// A real SMTP server on loopback for the mailer's tests: src/testing/smtp_sink.py (aiosmtpd)
// as a child process. Each message is read by Python's own e-mail package, an independent
// reader, and kept as a text: envelope, login, headers (the date and the message id's own part
// masked), the text part, each attachment with its bytes, the defects found.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/status.h"
#include "testing/temp_dir.h"

namespace ambervale::testing {

class SmtpSink {
 public:
  // `auth`: "none" (no AUTH offered), "offered" (PLAIN and LOGIN for the user "alerts" with
  // `password`, without TLS) or "required" (as offered, and no mail before a login).
  explicit SmtpSink(const std::string& auth = "none", const std::string& password = "secret");
  ~SmtpSink() { Stop(); }
  SmtpSink(const SmtpSink&) = delete;
  SmtpSink& operator=(const SmtpSink&) = delete;

  // Whether it runs.
  const Status& status() const { return status_; }
  // "127.0.0.1:<port>".
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
  // Ends the server; its port is then closed.
  void Stop();
  // The messages received so far, in order, as texts.
  std::vector<std::string> Messages() const;

 private:
  TempDir dir_;
  Status status_;
  FILE* pipe_ = nullptr;
  int port_ = 0;
  int pid_ = 0;
};

}  // namespace ambervale::testing

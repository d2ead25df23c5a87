#pragma once

// A real SMTP server on loopback for the mailer's tests: runs src/testing/smtp_sink.py
// (aiosmtpd) as a child process and reads back what it stored. Each message is parsed by
// Python's own e-mail package, so the tests check the mailer against an independent reader.

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "platform/status.h"

namespace ambervale::testing {

struct SmtpSinkOptions {
  enum class Auth { kNone, kOffered, kRequired };
  // kNone: no AUTH in the EHLO answer. kOffered: PLAIN and LOGIN offered without TLS.
  // kRequired: as kOffered, and no mail is taken before a login.
  Auth auth = Auth::kNone;
  std::string user = "alerts";
  std::string password = "secret";
};

// One message as the server's mail reader saw it. Texts are UTF-8.
struct ReceivedMail {
  struct Attachment {
    std::string filename;
    std::string content_type;
    std::string charset;
    std::string data;  // bytes as decoded from the transfer encoding
  };
  std::string mail_from;              // envelope sender
  std::vector<std::string> rcpt_tos;  // envelope recipients, in order
  bool authenticated = false;
  std::string login;  // the user that logged in, if any
  // Decoded header values by lower-case name, in order of appearance.
  std::map<std::string, std::vector<std::string>> headers;
  std::string body;  // the text/plain part, decoded
  std::string body_charset;
  std::vector<Attachment> attachments;
  std::vector<std::string> defects;  // what the reader found wrong with the message
  std::string raw;                   // the bytes as received

  // The first value of a header, empty when missing.
  std::string Header(const std::string& lower_case_name) const;
};

class SmtpSink {
 public:
  // Starts the server, storing messages in `folder` (which must exist). status() tells
  // whether it runs; port() is its port on 127.0.0.1.
  explicit SmtpSink(std::string folder, SmtpSinkOptions options = {});
  ~SmtpSink();  // stops the server
  SmtpSink(const SmtpSink&) = delete;
  SmtpSink& operator=(const SmtpSink&) = delete;

  const Status& status() const { return status_; }
  int port() const { return port_; }
  // "127.0.0.1:<port>".
  std::string Address() const;
  // Ends the server process; the port is then closed. Idempotent.
  void Stop();
  // The messages stored so far, in the order received.
  std::vector<ReceivedMail> Messages() const;

 private:
  Status Start(const SmtpSinkOptions& options);

  std::string folder_;
  Status status_;
  pid_t pid_ = -1;
  int stdin_fd_ = -1;  // closing it ends the server too
  int stdout_fd_ = -1;
  int port_ = 0;
};

}  // namespace ambervale::testing

// The short names, for tests written before the helpers had their own namespace.
namespace ambervale {
using testing::ReceivedMail;
using testing::SmtpSink;
using testing::SmtpSinkOptions;
}  // namespace ambervale

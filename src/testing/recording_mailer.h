#pragma once

// A MailerFactory whose mailers record every message handed to them, with optional faults.

#include <memory>
#include <string>
#include <vector>

#include "mail/mailer.h"

namespace ambervale::testing {

struct RecordedMail {
  std::string separator;
  std::string server;
  std::string from;
  std::string recipients;
  std::string subject;
  std::string text;
  std::vector<std::string> attachments;
  // The attachments' content at the moment of the send.
  std::vector<std::string> attachment_contents;
  bool use_authentication = false;
  std::string user;
  std::string password;
  bool text_set = false;
};

// The mail as a text: server, sender, recipients, subject, the text (when set), the login
// (when on) and each attachment with its content.
std::string Describe(const RecordedMail& mail);

class RecordingMailerFactory : public MailerFactory {
 public:
  std::unique_ptr<Mailer> Create() override;

  // A fault: Send fails with this message (empty: succeeds).
  void set_send_error(std::string message) { send_error_ = std::move(message); }

  // Messages whose Send succeeded, in order.
  const std::vector<RecordedMail>& sent() const { return sent_; }
  // Every message Send was called on, including failed ones.
  const std::vector<RecordedMail>& attempts() const { return attempts_; }

 private:
  friend class RecordingMailer;
  std::string send_error_;
  std::vector<RecordedMail> sent_;
  std::vector<RecordedMail> attempts_;
};

}  // namespace ambervale::testing

// The short names, for tests written before the helpers had their own namespace.
namespace ambervale {
using testing::RecordedMail;
using testing::RecordingMailerFactory;
}  // namespace ambervale

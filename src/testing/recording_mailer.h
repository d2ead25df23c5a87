#pragma once

// A MailerFactory whose mailers record every message handed to them, with optional faults.

#include <fstream>
#include <iterator>
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
  bool text_set = false;
  std::vector<std::string> attachments;
  // The attachments' content at the moment of the send.
  std::vector<std::string> attachment_contents;
  bool use_authentication = false;
  std::string user;
  std::string password;
};

// The mail as a text: server, sender, recipients, subject, the text (when set), the login
// (when on) and each attachment with its content.
inline std::string Describe(const RecordedMail& m) {
  std::string out = m.server + ": " + m.from + " to " + m.recipients + " (\"" + m.separator +
                    "\")\nsubject: " + m.subject + "\n";
  if (m.text_set) out += "text: " + m.text + "\n";
  if (m.use_authentication) out += "login: " + m.user + " " + m.password + "\n";
  for (size_t i = 0; i < m.attachments.size(); ++i) {
    out += "attached " + m.attachments[i] + ": " +
           (i < m.attachment_contents.size() ? m.attachment_contents[i] : "(unread)") + "\n";
  }
  return out;
}

class RecordingMailerFactory : public MailerFactory {
 public:
  std::unique_ptr<Mailer> Create() override { return std::make_unique<RecordingMailer>(*this); }

  // A fault: Send fails with this message (empty: succeeds).
  void set_send_error(std::string message) { send_error_ = std::move(message); }

  // Messages whose Send succeeded, in order.
  const std::vector<RecordedMail>& sent() const { return sent_; }
  // Every message Send was called on, including failed ones.
  const std::vector<RecordedMail>& attempts() const { return attempts_; }

 private:
  class RecordingMailer : public Mailer {
   public:
    explicit RecordingMailer(RecordingMailerFactory& owner) : owner_(owner) {}
    Status SetRecipientSeparator(std::string_view s) override { return Set(mail_.separator, s); }
    Status SetServer(std::string_view s) override { return Set(mail_.server, s); }
    Status SetFrom(std::string_view s) override { return Set(mail_.from, s); }
    Status SetRecipients(std::string_view s) override { return Set(mail_.recipients, s); }
    Status SetSubject(std::string_view s) override { return Set(mail_.subject, s); }
    Status SetMessageText(std::string_view s) override {
      mail_.text_set = true;
      return Set(mail_.text, s);
    }
    Status AddAttachment(std::string_view path) override {
      mail_.attachments.emplace_back(path);
      std::ifstream in{std::string(path), std::ios::binary};
      if (!in) return Status::Error("attachment not found: " + std::string(path));
      mail_.attachment_contents.emplace_back(std::istreambuf_iterator<char>(in),
                                             std::istreambuf_iterator<char>());
      return Status::Ok();
    }
    Status SetUseAuthentication(bool on) override {
      mail_.use_authentication = on;
      return Status::Ok();
    }
    Status SetUserName(std::string_view s) override { return Set(mail_.user, s); }
    Status SetPassword(std::string_view s) override { return Set(mail_.password, s); }
    Status Send() override {
      owner_.attempts_.push_back(mail_);
      if (!owner_.send_error_.empty()) return Status::Error(owner_.send_error_);
      owner_.sent_.push_back(mail_);
      return Status::Ok();
    }

   private:
    static Status Set(std::string& field, std::string_view value) {
      field = std::string(value);
      return Status::Ok();
    }
    RecordingMailerFactory& owner_;
    RecordedMail mail_;
  };

  std::string send_error_;
  std::vector<RecordedMail> sent_;
  std::vector<RecordedMail> attempts_;
};

}  // namespace ambervale::testing

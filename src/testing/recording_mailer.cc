#include "testing/recording_mailer.h"

#include <fstream>
#include <iterator>

namespace ambervale::testing {

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

std::string Describe(const RecordedMail& m) {
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

std::unique_ptr<Mailer> RecordingMailerFactory::Create() {
  return std::make_unique<RecordingMailer>(*this);
}

}  // namespace ambervale::testing

#include "app/no_mailer.h"

#include <string>

namespace ambervale {
namespace {

class NoMailer : public Mailer {
 public:
  Status SetRecipientSeparator(std::string_view) override { return Status::Ok(); }
  Status SetServer(std::string_view) override { return Status::Ok(); }
  Status SetFrom(std::string_view) override { return Status::Ok(); }
  Status SetRecipients(std::string_view) override { return Status::Ok(); }
  Status SetSubject(std::string_view) override { return Status::Ok(); }
  Status SetMessageText(std::string_view) override { return Status::Ok(); }
  Status AddAttachment(std::string_view) override { return Status::Ok(); }
  Status SetUseAuthentication(bool) override { return Status::Ok(); }
  Status SetUserName(std::string_view) override { return Status::Ok(); }
  Status SetPassword(std::string_view) override { return Status::Ok(); }
  Status Send() override { return Status::Error(std::string(kNoMailerMessage)); }
};

}  // namespace

std::unique_ptr<Mailer> NoMailerFactory::Create() { return std::make_unique<NoMailer>(); }

}  // namespace ambervale

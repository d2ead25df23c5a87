#pragma once

// The Mailer seam: the SMTP mail component's operations, in the order the alerts use them.
// A fresh Mailer is made for every message and dropped after the send. Any step may fail;
// a failure is an error of the send. Texts are Windows-1252 bytes.

#include <memory>
#include <string_view>

#include "platform/status.h"

namespace ambervale {

class Mailer {
 public:
  virtual ~Mailer() = default;
  virtual Status SetRecipientSeparator(std::string_view separator) = 0;
  virtual Status SetServer(std::string_view server) = 0;
  virtual Status SetFrom(std::string_view address) = 0;
  virtual Status SetRecipients(std::string_view addresses) = 0;
  virtual Status SetSubject(std::string_view subject) = 0;
  virtual Status SetMessageText(std::string_view text) = 0;
  virtual Status AddAttachment(std::string_view path) = 0;
  virtual Status SetUseAuthentication(bool on) = 0;
  virtual Status SetUserName(std::string_view user) = 0;
  virtual Status SetPassword(std::string_view password) = 0;
  virtual Status Send() = 0;
};

class MailerFactory {
 public:
  virtual ~MailerFactory() = default;
  // A new mail component instance, or nullptr when it cannot be created.
  virtual std::unique_ptr<Mailer> Create() = 0;
};

}  // namespace ambervale

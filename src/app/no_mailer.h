#pragma once

// The mail component of a build without libcurl: every message fails at the send with a
// message saying so, which the alerts write to their logs like any failed send.

#include <memory>

#include "mail/mailer.h"

namespace ambervale {

inline constexpr std::string_view kNoMailerMessage =
    "this build of Ambervale has no mail component (built without libcurl); no e-mail is sent";

class NoMailerFactory : public MailerFactory {
 public:
  std::unique_ptr<Mailer> Create() override;
};

}  // namespace ambervale

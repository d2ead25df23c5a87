#pragma once

// The program's two e-mail alerts. Both read their addresses and SMTP settings from
// settings.ini at the moment of sending and record the attempt in the logs.

#include <optional>
#include <string>
#include <string_view>

#include "form/frm_main.h"
#include "mail/mailer.h"
#include "platform/status.h"

namespace ambervale {

class Alerts {
 public:
  // Neither argument is owned; both must outlive this object.
  Alerts(frmMain& form, MailerFactory& mailers);

  // The general alert to [EMails] EmailInternal (+ EmailVantoraHelpDesk). In the unticketed
  // mode it first completes the unticketed report and sends it as the attachment, with no
  // message text. Returns Ok when the message was handed over; a failure of any step is
  // returned (the classic program let it rise to its caller). Outside the unticketed mode an
  // alert mailed less than [EMails] AlertQuietMinutes ago is not mailed again (AlertMemory):
  // the action log says so and Ok is returned.
  Status SendEmailAlert(std::string_view message, bool runSucceeded);

  // The Fail Queue alert to [FailQueue] EmailAlert1..3; attaches logs/Fail_Queue_Log.csv when
  // asked. "OK", or "Fail" after writing the FAILED line. Line breaks in the subject are
  // folded into blanks before it reaches the mailer.
  std::string SendFailQueueEmail(std::string_view subject, std::string_view body,
                                 bool attachFailQueueLog);

 private:
  // Makes a fresh mail component and hands it one message (no text when `text` is absent, no
  // attachment when `attachment` is empty), with the SMTP settings read now.
  Status Deliver(std::string_view recipients, std::string_view subject,
                 const std::optional<std::string>& text, const std::string& attachment);

  frmMain& form_;
  MailerFactory& mailers_;
};

}  // namespace ambervale

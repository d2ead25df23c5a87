#pragma once

// The SMTP mail component of the alerts, on libcurl. Each Mailer collects the settings of one
// message; Send builds the MIME message and delivers it in one SMTP transaction.
//
// - Server: "host", "host:port", "smtp://host[:port]" (STARTTLS when the server offers it,
//   default port 25) or "smtps://host[:port]" (TLS from the start, default port 465).
//   Certificates are verified whenever TLS is used.
// - Recipients: split at the separator, blanks trimmed, empty parts dropped. An address may
//   be written "Name <user@host>".
// - Message: Date, Message-ID, From, To, Subject, MIME-Version; the text as text/plain in
//   UTF-8 (converted from Windows-1252), base64; each attachment as a base64 part with its
//   file name and a content type by extension (text types declared windows-1252, the bytes
//   sent unchanged). Line breaks and other control characters in header values become
//   blanks, so no text can add a header.
// - Authentication: when switched on, a server that does not take the login (it offers no
//   AUTH) gets no message: the send fails before the message text is handed over. libcurl by
//   itself would send without logging in.
// - The password is handed to libcurl only; it never appears in an error text or a log
//   (libcurl's verbose output stays off).
//
// Every failure is an error Status naming the step and the value concerned. Single-threaded;
// the factory must outlive the mailers it makes.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mail/mailer.h"
#include "platform/status.h"

namespace ambervale {

struct CurlMailerOptions {
  long connect_timeout_ms = 30000;   // TCP connect, and the TLS handshake
  long transfer_timeout_ms = 60000;  // the whole transaction
};

class CurlMailerFactory : public MailerFactory {
 public:
  explicit CurlMailerFactory(CurlMailerOptions options = {});
  ~CurlMailerFactory() override;
  CurlMailerFactory(const CurlMailerFactory&) = delete;
  CurlMailerFactory& operator=(const CurlMailerFactory&) = delete;

  // nullptr when libcurl could not be initialised.
  std::unique_ptr<Mailer> Create() override;

 private:
  CurlMailerOptions options_;
  bool curl_ready_ = false;
};

// The libcurl URL ("smtp://host:port" or "smtps://host:port") for an SMTP server setting, in
// `url`; an error naming the value when it is empty or not a server.
[[nodiscard]] Status SmtpServerUrl(std::string_view server, std::string* url);

// The non-empty, trimmed parts of `list` split at `separator` (";" when empty).
std::vector<std::string> SplitRecipients(std::string_view list, std::string_view separator);

}  // namespace ambervale

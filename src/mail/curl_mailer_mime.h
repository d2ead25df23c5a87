#pragma once

// The MIME message the libcurl mailer sends: pure text building, no I/O. Inputs are
// Windows-1252 bytes as the alerts hand them over; the result is 7-bit ASCII with CR LF line
// ends, ready for SMTP DATA.

#include <string>
#include <string_view>
#include <vector>

namespace ambervale {

struct MimeAttachment {
  std::string file_name;  // Windows-1252, without folder
  std::string content;    // bytes, sent unchanged
};

struct MimeMessage {
  std::string date;        // RFC 5322 date-time, e.g. "Sun, 06 Dec 2026 10:00:00 +0100"
  std::string message_id;  // without the angle brackets
  std::string from;        // one address, possibly "Name <user@host>"
  std::vector<std::string> to;
  std::string subject;
  std::string text;
  std::vector<MimeAttachment> attachments;
  std::string boundary;  // for multipart messages; must not occur in base64 text
};

// The whole message.
std::string BuildMimeMessage(const MimeMessage& message);

// The bare address of "user@host" or "Name <user@host>"; empty when it is not an address
// (no single "@" with text on both sides, blanks, controls, non-ASCII or specials).
std::string EnvelopeAddress(std::string_view address);

// A header value with line breaks and other control characters turned into blanks (a CR LF
// pair into one blank).
std::string FoldControls(std::string_view value);

// The content type of an attachment by its file name's extension.
std::string ContentTypeFor(std::string_view file_name);

// The date-time as an RFC 5322 Date header value.
std::string RfcDate(int year, int month, int day, int hour, int minute, int second,
                    long utc_offset_seconds);

}  // namespace ambervale

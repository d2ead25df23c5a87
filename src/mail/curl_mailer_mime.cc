#include "mail/curl_mailer_mime.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/cp1252.h"

namespace ambervale {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr size_t kLineLimit = 78;

std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                       static_cast<unsigned char>(bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
    for (int shift : {18, 12, 6, 0}) out.push_back(kAlphabet[(v >> shift) & 0x3F]);
  }
  if (i < bytes.size()) {
    const bool two = i + 1 < bytes.size();
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                       (two ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0);
    out.push_back(kAlphabet[(v >> 18) & 0x3F]);
    out.push_back(kAlphabet[(v >> 12) & 0x3F]);
    out.push_back(two ? kAlphabet[(v >> 6) & 0x3F] : '=');
    out.push_back('=');
  }
  return out;
}

// Base64 in lines of 76 characters, each ended by CR LF.
std::string Base64Lines(std::string_view bytes) {
  const std::string flat = Base64(bytes);
  std::string out;
  for (size_t i = 0; i < flat.size(); i += 76) {
    out.append(flat, i, 76);
    out.append(kCrLf);
  }
  return out;
}

// Every line break (CR LF, CR, LF) as CR LF: the canonical form of text/plain.
std::string CrLfLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 20);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out.append(kCrLf);
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

bool IsPlainAscii(std::string_view s) {
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7E) return false;
  }
  return true;
}

// One or more RFC 2047 encoded words (UTF-8, base64) for `cp1252`, joined by folding
// white space; each word stays under 75 characters and splits no character.
std::string EncodedWords(std::string_view cp1252) {
  const std::string utf8 = Cp1252ToUtf8(cp1252);
  // 52 base64 characters + 12 of framing: with "Subject: " in front a line stays under 76.
  constexpr size_t kChunk = 39;
  std::string out;
  size_t start = 0;
  while (start < utf8.size()) {
    size_t end = std::min(utf8.size(), start + kChunk);
    while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
    if (!out.empty()) out += "\r\n ";
    out += "=?UTF-8?B?" + Base64(std::string_view(utf8).substr(start, end - start)) + "?=";
    start = end;
  }
  return out;
}

// A header field with an unstructured value (the subject): as it is when it is short plain
// ASCII, else as encoded words.
std::string UnstructuredHeader(std::string_view name, std::string_view value) {
  const std::string folded = FoldControls(value);
  if (IsPlainAscii(folded) && name.size() + 2 + folded.size() <= kLineLimit) {
    return std::string(name) + ": " + folded + std::string(kCrLf);
  }
  return std::string(name) + ": " + EncodedWords(folded) + std::string(kCrLf);
}

// "Name <user@host>" with the name quoted or encoded, or the bare address.
std::string AddressForHeader(std::string_view address) {
  const std::string folded = FoldControls(address);
  const std::string bare = EnvelopeAddress(folded);
  const size_t open = folded.find('<');
  if (open == std::string::npos) return bare;
  std::string_view name = std::string_view(folded).substr(0, open);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
  while (!name.empty() && (name.front() == ' ' || name.front() == '"')) name.remove_prefix(1);
  while (!name.empty() && name.back() == '"') name.remove_suffix(1);
  if (name.empty()) return bare;
  const bool quotable = IsPlainAscii(name) && name.find_first_of("\"\\") == std::string::npos;
  const std::string shown = quotable ? "\"" + std::string(name) + "\"" : EncodedWords(name);
  return shown + " <" + bare + ">";
}

// "To: a, b, ..." folded before a line passes kLineLimit.
std::string AddressListHeader(std::string_view name, const std::vector<std::string>& addresses) {
  std::string out = std::string(name) + ":";
  size_t line_length = out.size();
  for (size_t i = 0; i < addresses.size(); ++i) {
    const std::string item = AddressForHeader(addresses[i]) + (i + 1 < addresses.size() ? "," : "");
    if (i > 0 && line_length + 1 + item.size() > kLineLimit) {
      out += "\r\n";
      line_length = 0;
    }
    out += " " + item;
    line_length += 1 + item.size();
  }
  return out + std::string(kCrLf);
}

std::string Lower(std::string_view s) {
  std::string out;
  for (char c : s) out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  return out;
}

// A MIME parameter: name="value" for plain ASCII, else name*=UTF-8''percent-encoded.
std::string Parameter(std::string_view name, std::string_view cp1252) {
  const std::string folded = FoldControls(cp1252);
  if (IsPlainAscii(folded) && folded.find_first_of("\"\\") == std::string::npos) {
    return std::string(name) + "=\"" + folded + "\"";
  }
  std::string out = std::string(name) + "*=UTF-8''";
  for (char c : Cp1252ToUtf8(folded)) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u) || u == '.' || u == '-' || u == '_') {
      out.push_back(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", u);
      out += hex;
    }
  }
  return out;
}

std::string TextPart(std::string_view text) {
  return "Content-Type: text/plain; charset=utf-8\r\n"
         "Content-Transfer-Encoding: base64\r\n\r\n" +
         Base64Lines(Cp1252ToUtf8(CrLfLines(text)));
}

std::string AttachmentPart(const MimeAttachment& a) {
  std::string type = ContentTypeFor(a.file_name);
  if (type.rfind("text/", 0) == 0) type += "; charset=windows-1252";
  return "Content-Type: " + type + "; " + Parameter("name", a.file_name) +
         "\r\n"
         "Content-Disposition: attachment; " +
         Parameter("filename", a.file_name) +
         "\r\n"
         "Content-Transfer-Encoding: base64\r\n\r\n" +
         Base64Lines(a.content);
}

}  // namespace

std::string FoldControls(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    const auto u = static_cast<unsigned char>(value[i]);
    if (u == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
    out.push_back(u < 0x20 || u == 0x7F ? ' ' : value[i]);
  }
  return out;
}

std::string EnvelopeAddress(std::string_view address) {
  for (char c : address) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return "";
  }
  std::string_view a = address;
  const size_t open = a.find('<');
  if (open != std::string_view::npos) {
    // "Name <user@host>": the name holds none of the characters that end or start an address.
    const size_t close = a.find('>', open);
    if (close == std::string_view::npos || a.find_first_not_of(" \t", close + 1) != a.npos ||
        a.substr(0, open).find_first_of("<>@,;:") != std::string_view::npos) {
      return "";
    }
    a = a.substr(open + 1, close - open - 1);
  }
  const size_t at = a.find('@');
  if (at == 0 || at == std::string_view::npos || at + 1 == a.size()) return "";
  if (a.find('@', at + 1) != std::string_view::npos) return "";
  for (char c : a) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7F) return "";
    if (std::string_view("<>()[],;:\"\\").find(c) != std::string_view::npos) return "";
  }
  return std::string(a);
}

std::string ContentTypeFor(std::string_view file_name) {
  static constexpr struct {
    std::string_view extension;
    std::string_view type;
  } kTypes[] = {
      {"csv", "text/csv"},
      {"txt", "text/plain"},
      {"log", "text/plain"},
      {"htm", "text/html"},
      {"html", "text/html"},
      {"xml", "application/xml"},
      {"pdf", "application/pdf"},
      {"zip", "application/zip"},
      {"xls", "application/vnd.ms-excel"},
      {"xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
  };
  const size_t dot = file_name.rfind('.');
  if (dot != std::string_view::npos) {
    const std::string extension = Lower(file_name.substr(dot + 1));
    for (const auto& t : kTypes) {
      if (t.extension == extension) return std::string(t.type);
    }
  }
  return "application/octet-stream";
}

std::string RfcDate(int year, int month, int day, int hour, int minute, int second,
                    long utc_offset_seconds) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  // Day of the week by Sakamoto's method (Gregorian calendar).
  static constexpr int kMonthOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  const int y = month < 3 ? year - 1 : year;
  const int weekday = (y + y / 4 - y / 100 + y / 400 + kMonthOffsets[month - 1] + day) % 7;
  const long offset_minutes = std::labs(utc_offset_seconds) / 60;
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", kDays[weekday],
                day, kMonths[month - 1], year, hour, minute, second,
                utc_offset_seconds < 0 ? '-' : '+', offset_minutes / 60, offset_minutes % 60);
  return text;
}

std::string BuildMimeMessage(const MimeMessage& m) {
  std::string out;
  out += "Date: " + m.date + std::string(kCrLf);
  out += "Message-ID: <" + FoldControls(m.message_id) + ">" + std::string(kCrLf);
  out += "From: " + AddressForHeader(m.from) + std::string(kCrLf);
  out += AddressListHeader("To", m.to);
  out += UnstructuredHeader("Subject", m.subject);
  out += "MIME-Version: 1.0\r\n";
  out += "X-Mailer: Ambervale\r\n";
  if (m.attachments.empty()) return out + TextPart(m.text);

  const std::string delimiter = "--" + m.boundary;
  out += "Content-Type: multipart/mixed; boundary=\"" + m.boundary + "\"\r\n\r\n";
  out += "This is a message in MIME format.\r\n";
  if (!m.text.empty()) out += delimiter + "\r\n" + TextPart(m.text);
  for (const MimeAttachment& a : m.attachments) out += delimiter + "\r\n" + AttachmentPart(a);
  return out + delimiter + "--\r\n";
}

}  // namespace ambervale

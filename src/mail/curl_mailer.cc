#include "mail/curl_mailer.h"

#include <curl/curl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>

#include "mail/curl_mailer_mime.h"
#include "platform/classic_text.h"

namespace ambervale {
namespace {

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  }
  return true;
}

bool IsHostName(std::string_view host) {
  if (host.empty()) return false;
  return std::all_of(host.begin(), host.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
  });
}

bool IsIpv6Literal(std::string_view inner) {
  return !inner.empty() && std::all_of(inner.begin(), inner.end(), [](char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
  });
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// The file's bytes, or an error naming it.
Status ReadAttachment(const std::string& path, std::string* content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return Status::Error("attachment " + Quoted(path) + " cannot be read (" + std::strerror(errno) +
                         ")");
  }
  content->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return Status::Error("attachment " + Quoted(path) + " could not be read whole");
  return Status::Ok();
}

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string RandomHex() {
  std::random_device device;
  std::mt19937_64 random(static_cast<uint64_t>(device()) << 32 | device());
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(random()));
  return text;
}

std::string NowAsRfcDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return RfcDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                 local.tm_sec, local.tm_gmtoff);
}

// What the libcurl callbacks share during one transfer.
struct Transfer {
  std::string_view message;
  size_t offset = 0;
  bool login_required = false;
  bool logged_in = false;
  bool auth_offered = false;
  bool stopped_unauthenticated = false;
  std::string last_reply;  // the server's last answer line, for error texts
};

// libcurl hands every SMTP answer line to the header callback. None of them carries the
// password: the client's own commands do not pass through here.
size_t OnReply(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  std::string_view line(data, size * count);
  line = TrimWhitespace(line);
  if (StartsWithNoCase(line, "235")) t->logged_in = true;
  if (line.size() > 4 && line.substr(0, 3) == "250" && StartsWithNoCase(line.substr(4), "auth")) {
    t->auth_offered = true;
  }
  t->last_reply = std::string(line.substr(0, 200));
  return size * count;
}

// The message text for DATA. This runs only after the server has accepted DATA, i.e. after
// the login phase: a login that was wanted and did not happen stops the transfer here,
// before any of the message reaches the server.
size_t OnRead(char* buffer, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  if (t->login_required && !t->logged_in) {
    t->stopped_unauthenticated = true;
    return CURL_READFUNC_ABORT;
  }
  const size_t n = std::min(size * count, t->message.size() - t->offset);
  std::memcpy(buffer, t->message.data() + t->offset, n);
  t->offset += n;
  return n;
}

struct CurlDeleter {
  void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct SlistDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

class CurlMailer : public Mailer {
 public:
  explicit CurlMailer(CurlMailerOptions options) : options_(options) {}
  ~CurlMailer() override { explicit_bzero(password_.data(), password_.size()); }
  CurlMailer(const CurlMailer&) = delete;
  CurlMailer& operator=(const CurlMailer&) = delete;

  Status SetRecipientSeparator(std::string_view separator) override {
    separator_ = std::string(separator);
    return Status::Ok();
  }
  Status SetServer(std::string_view server) override {
    server_ = std::string(server);
    std::string url;
    return SmtpServerUrl(server_, &url);
  }
  Status SetFrom(std::string_view address) override {
    from_ = std::string(TrimWhitespace(address));
    return CheckFrom();
  }
  Status SetRecipients(std::string_view addresses) override {
    recipients_ = std::string(addresses);
    std::vector<std::string> envelope;
    return CheckRecipients(&envelope);
  }
  Status SetSubject(std::string_view subject) override {
    subject_ = std::string(subject);
    return Status::Ok();
  }
  Status SetMessageText(std::string_view text) override {
    text_ = std::string(text);
    return Status::Ok();
  }
  Status AddAttachment(std::string_view path) override {
    const std::string p(path);
    std::ifstream probe(p, std::ios::binary);
    if (p.empty() || !probe) {
      return Status::Error("attachment " + Quoted(p) + " cannot be read (" +
                           std::strerror(p.empty() ? ENOENT : errno) + ")");
    }
    attachments_.push_back(p);
    return Status::Ok();
  }
  Status SetUseAuthentication(bool on) override {
    use_authentication_ = on;
    return Status::Ok();
  }
  Status SetUserName(std::string_view user) override {
    user_ = std::string(user);
    return Status::Ok();
  }
  Status SetPassword(std::string_view password) override {
    explicit_bzero(password_.data(), password_.size());
    password_ = std::string(password);
    return Status::Ok();
  }
  Status Send() override;

 private:
  Status CheckFrom() const {
    if (from_.empty()) return Status::Error("sender address is empty");
    if (EnvelopeAddress(from_).empty()) {
      return Status::Error("sender address " + Quoted(from_) + " is not an e-mail address");
    }
    return Status::Ok();
  }
  Status CheckRecipients(std::vector<std::string>* envelope) const {
    const std::vector<std::string> parts = SplitRecipients(recipients_, separator_);
    if (parts.empty()) {
      return Status::Error("recipient list " + Quoted(recipients_) + " holds no address");
    }
    envelope->clear();
    for (const std::string& p : parts) {
      const std::string bare = EnvelopeAddress(p);
      if (bare.empty()) {
        return Status::Error("recipient " + Quoted(p) + " is not an e-mail address");
      }
      envelope->push_back(bare);
    }
    return Status::Ok();
  }
  Status BuildMessage(std::string* message) const;
  Status Transmit(const std::string& url, const std::vector<std::string>& envelope,
                  const std::string& message) const;

  CurlMailerOptions options_;
  std::string separator_ = ";";
  std::string server_;
  std::string from_;
  std::string recipients_;
  std::string subject_;
  std::string text_;
  std::vector<std::string> attachments_;
  bool use_authentication_ = false;
  std::string user_;
  std::string password_;
};

Status CurlMailer::Send() {
  std::string url;
  if (Status s = SmtpServerUrl(server_, &url); !s.ok()) return s;
  if (Status s = CheckFrom(); !s.ok()) return s;
  std::vector<std::string> envelope;
  if (Status s = CheckRecipients(&envelope); !s.ok()) return s;
  if (use_authentication_ && TrimWhitespace(user_).empty()) {
    return Status::Error("SMTP authentication is on but the user name is empty");
  }
  std::string message;
  if (Status s = BuildMessage(&message); !s.ok()) return s;
  return Transmit(url, envelope, message);
}

Status CurlMailer::BuildMessage(std::string* message) const {
  MimeMessage m;
  m.date = NowAsRfcDate();
  const std::string sender = EnvelopeAddress(from_);
  m.message_id = std::to_string(std::chrono::system_clock::now().time_since_epoch().count()) + "." +
                 RandomHex() + sender.substr(sender.find('@'));
  m.from = from_;
  m.to = SplitRecipients(recipients_, separator_);
  m.subject = subject_;
  m.text = text_;
  m.boundary = "=_ambervale_" + RandomHex();
  for (const std::string& path : attachments_) {
    MimeAttachment a;
    a.file_name = FileNameOf(path);
    if (Status s = ReadAttachment(path, &a.content); !s.ok()) return s;
    m.attachments.push_back(std::move(a));
  }
  *message = BuildMimeMessage(m);
  return Status::Ok();
}

Status CurlMailer::Transmit(const std::string& url, const std::vector<std::string>& envelope,
                            const std::string& message) const {
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) return Status::Error("sending through " + url + ": libcurl could not start");
  std::unique_ptr<curl_slist, SlistDeleter> recipients;
  for (const std::string& r : envelope) {
    curl_slist* grown = curl_slist_append(recipients.get(), ("<" + r + ">").c_str());
    if (grown == nullptr) return Status::Error("sending through " + url + ": out of memory");
    (void)recipients.release();
    recipients.reset(grown);
  }
  Transfer t;
  t.message = message;
  t.login_required = use_authentication_;
  char error[CURL_ERROR_SIZE] = "";
  const std::string from = "<" + EnvelopeAddress(from_) + ">";
  CURL* h = curl.get();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
  curl_easy_setopt(h, CURLOPT_VERBOSE, 0L);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, options_.connect_timeout_ms);
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, options_.transfer_timeout_ms);
  curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  curl_easy_setopt(h, CURLOPT_MAIL_FROM, from.c_str());
  curl_easy_setopt(h, CURLOPT_MAIL_RCPT, recipients.get());
  curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(h, CURLOPT_READFUNCTION, OnRead);
  curl_easy_setopt(h, CURLOPT_READDATA, &t);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, OnReply);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &t);
  if (use_authentication_) {
    curl_easy_setopt(h, CURLOPT_USERNAME, user_.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, password_.c_str());
  }
  const CURLcode rc = curl_easy_perform(h);
  if (t.stopped_unauthenticated) {
    return Status::Error("sending through " + url + ": SMTP authentication is on but the " +
                         "server " +
                         (t.auth_offered ? "did not take the login"
                                         : "offers no login (no AUTH in its EHLO answer)") +
                         "; the message was not sent");
  }
  if (rc != CURLE_OK) {
    std::string text = "sending through " + url + " failed: " + curl_easy_strerror(rc);
    if (error[0] != '\0') text += " (" + std::string(error) + ")";
    if (!t.last_reply.empty()) text += "; last server answer: " + t.last_reply;
    return Status::Error(text);
  }
  return Status::Ok();
}

}  // namespace

Status SmtpServerUrl(std::string_view server, std::string* url) {
  std::string_view s = TrimWhitespace(server);
  if (s.empty()) return Status::Error("SMTP server is empty");
  const auto bad = [&server](std::string_view why) {
    return Status::Error("SMTP server " + Quoted(server) + ": " + std::string(why));
  };
  std::string scheme = "smtp";
  std::string port = "25";
  if (StartsWithNoCase(s, "smtps://")) {
    scheme = "smtps";
    port = "465";
    s.remove_prefix(8);
  } else if (StartsWithNoCase(s, "smtp://")) {
    s.remove_prefix(7);
  } else if (s.find("://") != std::string_view::npos) {
    return bad("only smtp:// and smtps:// are supported");
  }
  if (!s.empty() && s.back() == '/') s.remove_suffix(1);
  std::string_view host = s;
  std::string_view port_text;
  bool has_port = false;
  if (!s.empty() && s.front() == '[') {
    const size_t close = s.find(']');
    if (close == std::string_view::npos || !IsIpv6Literal(s.substr(1, close - 1))) {
      return bad("not a host name");
    }
    host = s.substr(0, close + 1);
    const std::string_view rest = s.substr(close + 1);
    if (!rest.empty() && rest.front() != ':') return bad("not a host name");
    has_port = !rest.empty();
    if (has_port) port_text = rest.substr(1);
  } else {
    const size_t colon = s.find(':');
    has_port = colon != std::string_view::npos;
    if (has_port) {
      host = s.substr(0, colon);
      port_text = s.substr(colon + 1);
    }
    if (!IsHostName(host)) return bad("not a host name");
  }
  if (has_port) {
    const bool digits = !port_text.empty() && port_text.size() <= 5 &&
                        std::all_of(port_text.begin(), port_text.end(), [](char c) {
                          return std::isdigit(static_cast<unsigned char>(c));
                        });
    if (!digits) return bad("the port is not a number");
    const int number = std::stoi(std::string(port_text));
    if (number < 1 || number > 65535) return bad("the port is out of range");
    port = std::to_string(number);
  }
  *url = scheme + "://" + std::string(host) + ":" + port;
  return Status::Ok();
}

std::vector<std::string> SplitRecipients(std::string_view list, std::string_view separator) {
  const std::string_view sep = separator.empty() ? std::string_view(";") : separator;
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = std::min(list.find(sep, start), list.size());
    const std::string_view part = TrimWhitespace(list.substr(start, end - start));
    if (!part.empty()) parts.emplace_back(part);
    start = end + sep.size();
  }
  return parts;
}

CurlMailerFactory::CurlMailerFactory(CurlMailerOptions options)
    : options_(options), curl_ready_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}

CurlMailerFactory::~CurlMailerFactory() {
  if (curl_ready_) curl_global_cleanup();
}

std::unique_ptr<Mailer> CurlMailerFactory::Create() {
  if (!curl_ready_) return nullptr;
  return std::make_unique<CurlMailer>(options_);
}

}  // namespace ambervale

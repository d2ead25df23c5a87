#include "mail/curl_mailer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "mail/curl_mailer_mime.h"
#include "platform/cp1252.h"
#include "testing/smtp_sink.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

// Short time-outs: every server in these tests is on loopback.
constexpr CurlMailerOptions kTestTimeouts{2000, 5000};

// One message as the alerts hand it over, step by step in their order.
struct Mail {
  std::string server;
  std::string from = "robot@agency.test";
  std::string recipients = "desk@agency.test";
  std::string subject = "Ambervale alert";
  std::string text = "Run finished.";
  std::vector<std::string> attachments;
  bool authentication = false;
  std::string user;
  std::string password;
  std::function<void()> before_send = [] {};
};

Status Send(MailerFactory& factory, const Mail& m) {
  auto mailer = factory.Create();
  if (!mailer) return Status::Error("no mailer");
  for (Status s : {mailer->SetRecipientSeparator(";"), mailer->SetServer(m.server),
                   mailer->SetFrom(m.from), mailer->SetRecipients(m.recipients),
                   mailer->SetSubject(m.subject), mailer->SetMessageText(m.text)}) {
    if (!s.ok()) return s;
  }
  for (const std::string& a : m.attachments) {
    if (Status s = mailer->AddAttachment(a); !s.ok()) return s;
  }
  for (Status s : {mailer->SetUseAuthentication(m.authentication), mailer->SetUserName(m.user),
                   mailer->SetPassword(m.password)}) {
    if (!s.ok()) return s;
  }
  m.before_send();
  return mailer->Send();
}

class CurlMailerTest : public ::testing::Test {
 protected:
  void StartSink(SmtpSinkOptions options = {}) {
    const std::string folder = "sink" + std::to_string(++sinks_);  // a fresh one each time
    dir_.Write(folder + "/.keep", "");
    sink_ = std::make_unique<SmtpSink>(dir_.File(folder), options);
    ASSERT_TRUE(sink_->status().ok()) << sink_->status().message();
  }
  Mail MailToSink() const {
    Mail m;
    m.server = sink_->Address();
    return m;
  }
  std::vector<ReceivedMail> Received() const { return sink_->Messages(); }

  TempDir dir_;
  std::unique_ptr<SmtpSink> sink_;
  int sinks_ = 0;
  CurlMailerFactory factory_{kTestTimeouts};
};

// Windows-1252 text arrives readable, attachments keep their bytes, and line breaks in the
// subject are folded so that no header or command can be added.
TEST_F(CurlMailerTest, DeliversRecipientsSubjectBodyAndAttachment) {
  StartSink();
  const std::string report = "PCC,Status\r\nLON1,Queued \xB7 \x80\r\n";
  dir_.Write("Unticketed_R\xE9port.csv", report);
  Mail m = MailToSink();
  m.from = "Ambervale Caf\xE9 <robot@agency.test>";
  m.recipients = " first@agency.test ;; second@agency.test; ";
  const std::string subject = "Caf\xE9 \x80 \xB7 Z\xFCrich \x96 " + std::string(60, 'x');
  m.subject = subject + "\r\nBcc: victim@elsewhere.test\r\n\r\nInjected text\n.\r\nQUIT";
  m.text =
      "Gr\xFC\xDF"
      "e: \x80 100 \xB7 na\xEFve\nline two";
  m.attachments = {dir_.File("Unticketed_R\xE9port.csv")};
  const Status s = Send(factory_, m);
  ASSERT_TRUE(s.ok()) << s.message();

  const auto mails = Received();
  ASSERT_EQ(mails.size(), 1u);
  const ReceivedMail& r = mails[0];
  EXPECT_EQ(r.mail_from, "robot@agency.test");
  EXPECT_EQ(r.rcpt_tos, (std::vector<std::string>{"first@agency.test", "second@agency.test"}));
  EXPECT_EQ(r.Header("to"), "first@agency.test, second@agency.test");
  EXPECT_EQ(r.Header("from"), "Ambervale Caf\xC3\xA9 <robot@agency.test>");
  EXPECT_EQ(r.Header("subject"),
            Cp1252ToUtf8(subject + " Bcc: victim@elsewhere.test  Injected text . QUIT"));
  EXPECT_EQ(r.headers.count("bcc"), 0u);
  EXPECT_FALSE(r.Header("date").empty());
  EXPECT_NE(r.Header("message-id").find("@agency.test>"), std::string::npos);
  EXPECT_EQ(r.body, Cp1252ToUtf8("Gr\xFC\xDF"
                                 "e: \x80 100 \xB7 na\xEFve\r\nline two"));
  EXPECT_EQ(r.body_charset, "utf-8");
  ASSERT_EQ(r.attachments.size(), 1u);
  EXPECT_EQ(r.attachments[0].filename, Cp1252ToUtf8("Unticketed_R\xE9port.csv"));
  EXPECT_EQ(r.attachments[0].content_type, "text/csv");
  EXPECT_EQ(r.attachments[0].charset, "windows-1252");
  EXPECT_EQ(r.attachments[0].data, report);
  EXPECT_TRUE(r.defects.empty()) << r.defects.front();
  EXPECT_FALSE(r.authenticated);
}

TEST_F(CurlMailerTest, ReportsARefusedRecipientWithTheServersAnswer) {
  StartSink();
  Mail m = MailToSink();
  m.recipients = "desk@agency.test;reject-me@agency.test";
  const Status s = Send(factory_, m);
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.message().find("RCPT"), std::string::npos) << s.message();
  EXPECT_NE(s.message().find("550"), std::string::npos) << s.message();
  EXPECT_TRUE(Received().empty());
}

// What the server asks for and what the settings switch on.
TEST_F(CurlMailerTest, LogsInAsTheServerAndTheSettingsSay) {
  using Auth = SmtpSinkOptions::Auth;
  const struct {
    const char* name;
    SmtpSinkOptions server;
    bool login;
    const char* password;
    const char* error;  // nullptr: sent
  } kCases[] = {
      {"required", {Auth::kRequired, "alerts", "pa55:word"}, true, "pa55:word", nullptr},
      {"offered, switched on", {Auth::kOffered}, true, "secret", nullptr},
      {"offered, switched off", {Auth::kOffered}, false, "", nullptr},
      {"wrong password", {Auth::kRequired, "alerts", "right"}, true, "Wr0ngPassw0rd", "535"},
      {"required, switched off", {Auth::kRequired}, false, "", "530"},
      // libcurl alone would send the message without a login.
      {"none offered",
       {Auth::kNone},
       true,
       "secret",
       "offers no login (no AUTH in its EHLO answer); the message was not sent"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    StartSink(c.server);
    Mail m = MailToSink();
    m.authentication = c.login;
    m.user = "alerts";
    m.password = c.password;
    const Status s = Send(factory_, m);
    const auto mails = Received();
    if (c.error == nullptr) {
      ASSERT_TRUE(s.ok()) << s.message();
      ASSERT_EQ(mails.size(), 1u);
      EXPECT_EQ(mails[0].authenticated, c.login);
      EXPECT_EQ(mails[0].login, c.login ? "alerts" : "");
    } else {
      EXPECT_NE(s.message().find(c.error), std::string::npos) << s.message();
      EXPECT_EQ(s.message().find("Wr0ngPassw0rd"), std::string::npos) << s.message();
      EXPECT_TRUE(mails.empty());
    }
  }
}

TEST_F(CurlMailerTest, NamesTheStepThatFailed) {
  const struct {
    const char* name;
    std::function<void(Mail&)> edit;
    const char* expected;
  } kCases[] = {
      {"empty server", [](Mail& m) { m.server = ""; }, "SMTP server is empty"},
      {"bad server", [](Mail& m) { m.server = "mail server"; },
       "SMTP server 'mail server': not a host"},
      {"bad port", [](Mail& m) { m.server = "mail:99999"; }, "port is out of range"},
      {"empty sender", [](Mail& m) { m.from = ""; }, "sender address is empty"},
      {"no recipient", [](Mail& m) { m.recipients = " ; ;"; }, "holds no address"},
      {"missing attachment", [](Mail& m) { m.attachments = {"/nonexistent/Fail_Queue_Log.csv"}; },
       "attachment '/nonexistent/Fail_Queue_Log.csv' cannot be read"},
      {"attachment gone before the send",
       [this](Mail& m) {
         dir_.Write("gone.csv", "x");
         m.attachments = {dir_.File("gone.csv")};
         m.before_send = [this] { std::filesystem::remove(dir_.File("gone.csv")); };
       },
       "gone.csv' cannot be read"},
      {"login without user", [](Mail& m) { m.authentication = true; }, "user name is empty"},
      // Addresses that could carry SMTP commands.
      {"CRLF in sender", [](Mail& m) { m.from += "\r\nRCPT TO:<x@evil.test>"; },
       "not an e-mail address"},
      {"CRLF in recipient", [](Mail& m) { m.recipients += "\r\nDATA"; }, "not an e-mail address"},
      {"angle bracket", [](Mail& m) { m.recipients += ">x@evil.test"; }, "not an e-mail address"},
      {"no at sign", [](Mail& m) { m.recipients = "desk"; }, "not an e-mail address"},
      {"blank inside", [](Mail& m) { m.recipients = "de sk@agency.test"; },
       "not an e-mail address"},
      {"address in the name", [](Mail& m) { m.from += " RCPT TO:<x@evil.test>"; },
       "not an e-mail address"},
  };
  for (const auto& c : kCases) {
    Mail m;
    m.server = "localhost";
    c.edit(m);
    const Status s = Send(factory_, m);
    EXPECT_NE(s.message().find(c.expected), std::string::npos) << c.name << ": " << s.message();
  }
}

TEST(SmtpServerUrlTest, AcceptsTheServerForms) {
  const struct {
    const char* server;
    const char* url;  // nullptr: refused
  } kCases[] = {
      {"mail.agency.test", "smtp://mail.agency.test:25"},
      {"mail.agency.test:587", "smtp://mail.agency.test:587"},
      {"smtp://mail.agency.test", "smtp://mail.agency.test:25"},
      {"SMTP://mail.agency.test:2525/", "smtp://mail.agency.test:2525"},
      {"smtps://mail.agency.test", "smtps://mail.agency.test:465"},
      {"[::1]:25", "smtp://[::1]:25"},
      {"", nullptr},
      {"http://mail.agency.test", nullptr},
      {"mail.agency.test:0", nullptr},
      {"mail.agency.test:25x", nullptr},
      {"user:pw@mail.agency.test", nullptr},
      {"mail.agency.test/path?x", nullptr},
      {"[::1", nullptr},
  };
  for (const auto& c : kCases) {
    std::string url;
    const Status s = SmtpServerUrl(c.server, &url);
    if (c.url == nullptr) {
      EXPECT_FALSE(s.ok()) << "'" << c.server << "' gave " << url;
    } else {
      EXPECT_TRUE(s.ok()) << "'" << c.server << "': " << s.message();
      EXPECT_EQ(url, c.url) << "'" << c.server << "'";
    }
  }
}

TEST(MimeTest, WritesRfcDatesAndPicksContentTypes) {
  EXPECT_EQ(RfcDate(2026, 12, 6, 10, 0, 0, 3600), "Sun, 06 Dec 2026 10:00:00 +0100");
  EXPECT_EQ(RfcDate(2000, 2, 29, 23, 59, 58, -16200), "Tue, 29 Feb 2000 23:59:58 -0430");
  const struct {
    const char* file;
    const char* type;
  } kCases[] = {{"REPORT.CSV", "text/csv"},
                {"unticketed.log", "text/plain"},
                {"archive.zip", "application/zip"},
                {"noextension", "application/octet-stream"}};
  for (const auto& c : kCases) EXPECT_EQ(ContentTypeFor(c.file), c.type) << c.file;
}

TEST(MimeTest, KeepsEveryHeaderOnItsLines) {
  MimeMessage m;
  m.date = "Sun, 06 Dec 2026 10:00:00 +0000";
  m.message_id = "1@agency.test\r\nBcc: x@y";
  m.from = "Ambervale Robot <robot@agency.test>";
  for (int i = 0; i < 8; ++i) m.to.push_back("agent" + std::to_string(i) + "@agency.test");
  m.subject = std::string(200, 's');
  m.text = "x";
  const std::string text = BuildMimeMessage(m);
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    const std::string line = text.substr(start, end - start);
    EXPECT_LE(line.size(), 78u) << line;
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    EXPECT_NE(line.rfind("Bcc", 0), 0u) << line;
    start = end + 2;
  }
  EXPECT_NE(text.find("From: \"Ambervale Robot\" <robot@agency.test>\r\n"), std::string::npos);
}

}  // namespace
}  // namespace ambervale

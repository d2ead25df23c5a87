#include "mail/curl_mailer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mail/curl_mailer_mime.h"
#include "testing/golden.h"
#include "testing/smtp_sink.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

using testing::SmtpSink;

// One message as the alerts hand it over, step by step in their order.
struct Mail {
  std::string server;
  std::string from = "robot@agency.test";
  std::string recipients = "desk@agency.test";
  std::string subject = "Ambervale alert";
  std::optional<std::string> text = "Run finished.";  // nullopt: never set
  std::vector<std::string> attachments;
  bool authentication = false;
  std::string user = "alerts";
  std::string password;
  std::function<void()> before_send = [] {};
};

Status Send(const Mail& m) {
  CurlMailerFactory factory(CurlMailerOptions{2000, 5000});  // every server is on loopback
  auto mailer = factory.Create();
  if (!mailer) return Status::Error("no mailer");
  for (Status s :
       {mailer->SetRecipientSeparator(";"), mailer->SetServer(m.server), mailer->SetFrom(m.from),
        mailer->SetRecipients(m.recipients), mailer->SetSubject(m.subject),
        m.text ? mailer->SetMessageText(*m.text) : Status::Ok()}) {
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

// What the server received, message by message (src/mail/testdata/delivered.txt): the
// Windows-1252 text arrives readable, attachments keep their bytes, line breaks in the
// subject are folded so that no header or command can be added, a mail may have no text
// (the unticketed report), a refused recipient stops the mail with the server's answer.
TEST(CurlMailerTest, DeliversWhatTheServerReads) {
  TempDir dir;
  dir.Write("Unticketed_R\xE9port.csv", "PCC,Status\r\nLON1,Queued \xB7 \x80\r\n");
  SmtpSink sink;
  ASSERT_TRUE(sink.status().ok()) << sink.status().message();
  const struct {
    const char* name;
    std::function<void(Mail&)> edit;
  } kCases[] = {
      {"Windows-1252 texts, folded subject, attachment",
       [&](Mail& m) {
         m.from = "Ambervale Caf\xE9 <robot@agency.test>";
         m.recipients = " first@agency.test ;; second@agency.test; ";
         m.subject = "Caf\xE9 \x80 \xB7 Z\xFCrich \x96 " + std::string(60, 'x') +
                     "\r\nBcc: victim@elsewhere.test\r\n\r\nInjected text\n.\r\nQUIT";
         m.text =
             "Gr\xFC\xDF"
             "e: \x80 100 \xB7 na\xEFve\nline two";
         m.attachments = {dir.File("Unticketed_R\xE9port.csv")};
       }},
      {"no text, the report attached",
       [&](Mail& m) {
         m.text = std::nullopt;
         m.attachments = {dir.File("Unticketed_R\xE9port.csv")};
       }},
      {"refused recipient",
       [](Mail& m) { m.recipients = "desk@agency.test;reject-me@agency.test"; }},
  };
  std::string delivered;
  for (const auto& c : kCases) {
    Mail m;
    m.server = sink.Address();
    c.edit(m);
    const Status s = Send(m);
    delivered += std::string("== ") + c.name + ": " + (s.ok() ? "sent" : s.message()) + "\n";
  }
  for (const std::string& mail : sink.Messages()) delivered += "== received\n" + mail;
  for (size_t at; (at = delivered.find(sink.Address())) != std::string::npos;) {
    delivered.replace(at, sink.Address().size(), "SINK");
  }
  testing::ExpectGolden("src/mail/testdata/delivered.txt", delivered);
}

// What the server asks for and what the settings switch on.
TEST(CurlMailerTest, LogsInAsTheServerAndTheSettingsSay) {
  const struct {
    const char* auth;
    bool login;
    const char* password;
    const char* result;  // the login line the server saw, or a part of the error
  } kCases[] = {
      {"required", true, "secret", "login: alerts"},
      {"offered", true, "secret", "login: alerts"},
      {"offered", false, "", "login: none"},
      {"required", true, "Wr0ngPassw0rd", "535"},
      {"required", false, "", "530"},
      // libcurl alone would send the message without a login.
      {"none", true, "secret",
       "offers no login (no AUTH in its EHLO answer); the message was not sent"},
  };
  for (const auto& c : kCases) {
    SmtpSink sink(c.auth);
    Mail m;
    m.server = sink.Address();
    m.authentication = c.login;
    m.password = c.password;
    const Status s = Send(m);
    const std::vector<std::string> mails = sink.Messages();
    const std::string result = s.ok() && mails.size() == 1 ? mails[0] : s.message();
    EXPECT_NE(result.find(c.result), std::string::npos)
        << c.auth << " " << c.login << ": " << result;
    EXPECT_EQ(result.find("Wr0ngPassw0rd"), std::string::npos) << result;
  }
}

TEST(CurlMailerTest, NamesTheStepThatFailed) {
  TempDir dir;
  std::string down;
  {
    SmtpSink sink;
    down = sink.Address();
  }  // its port is closed now
  const struct {
    const char* name;
    std::function<void(Mail&)> edit;
    std::string expected;
  } kCases[] = {
      {"empty server", [](Mail& m) { m.server = ""; }, "SMTP server is empty"},
      {"bad server", [](Mail& m) { m.server = "mail server"; },
       "SMTP server 'mail server': not a host"},
      {"bad port", [](Mail& m) { m.server = "mail:99999"; }, "port is out of range"},
      {"server down", [&](Mail& m) { m.server = down; }, "sending through smtp://" + down},
      {"empty sender", [](Mail& m) { m.from = ""; }, "sender address is empty"},
      {"no recipient", [](Mail& m) { m.recipients = " ; ;"; }, "holds no address"},
      {"missing attachment", [](Mail& m) { m.attachments = {"/nonexistent/Fail_Queue_Log.csv"}; },
       "attachment '/nonexistent/Fail_Queue_Log.csv' cannot be read"},
      {"attachment gone before the send",
       [&](Mail& m) {
         dir.Write("gone.csv", "x");
         m.attachments = {dir.File("gone.csv")};
         m.before_send = [&] { std::filesystem::remove(dir.File("gone.csv")); };
       },
       "gone.csv' cannot be read"},
      {"login without user",
       [](Mail& m) {
         m.authentication = true;
         m.user = "";
       },
       "user name is empty"},
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
    const Status s = Send(m);
    EXPECT_NE(s.message().find(c.expected), std::string::npos) << c.name << ": " << s.message();
  }
}

// src/mail/testdata/smtp_server_url.txt: each server setting and its URL or refusal.
TEST(SmtpServerUrlTest, AcceptsTheServerForms) {
  testing::ExpectGoldenTable("src/mail/testdata/smtp_server_url.txt",
                             [](const std::string& server) {
                               std::string url;
                               const Status s = SmtpServerUrl(server, &url);
                               return (s.ok() ? url : "refused: " + s.message()) + "\n";
                             });
}

TEST(MimeTest, DatesTypesAndHeaderLines) {
  EXPECT_EQ(RfcDate(2026, 12, 6, 10, 0, 0, 3600), "Sun, 06 Dec 2026 10:00:00 +0100");
  EXPECT_EQ(RfcDate(2000, 2, 29, 23, 59, 58, -16200), "Tue, 29 Feb 2000 23:59:58 -0430");
  EXPECT_EQ(ContentTypeFor("archive.zip") + " " + ContentTypeFor("noextension") + " " +
                ContentTypeFor("unticketed.log"),
            "application/zip application/octet-stream text/plain");
  MimeMessage m;
  m.date = "Sun, 06 Dec 2026 10:00:00 +0000";
  m.message_id = "1@agency.test\r\nBcc: x@y";
  m.from = "Ambervale Robot <robot@agency.test>";
  for (int i = 0; i < 8; ++i) m.to.push_back("agent" + std::to_string(i) + "@agency.test");
  m.subject = std::string(200, 's');
  m.text = "x";
  const std::string text = BuildMimeMessage(m);
  for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    const std::string line = text.substr(start, end - start);
    EXPECT_LE(line.size(), 78u) << line;
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    EXPECT_NE(line.rfind("Bcc", 0), 0u) << line;
  }
  EXPECT_NE(text.find("From: \"Ambervale Robot\" <robot@agency.test>\r\n"), std::string::npos);
}

}  // namespace
}  // namespace ambervale

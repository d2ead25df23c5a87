#include "mail/curl_mailer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "mail/curl_mailer_mime.h"
#include "platform/classic_text.h"
#include "testing/golden.h"
#include "testing/smtp_sink.h"
#include "testing/temp_dir.h"

namespace ambervale::testing {
namespace {

// "\r", "\n" and "\xHH" as the bytes they stand for.
std::string Unescaped(std::string text) {
  for (size_t at = 0; (at = text.find('\\', at)) != std::string::npos && at + 1 < text.size();) {
    const char c = text[at + 1];
    const bool hex = c == 'x' && at + 3 < text.size();
    text.replace(at, hex ? 4 : 2, 1,
                 hex        ? static_cast<char>(std::stoi(text.substr(at + 2, 2), nullptr, 16))
                 : c == 'r' ? '\r'
                 : c == 'n' ? '\n'
                            : c);
    ++at;
  }
  return text;
}

// src/mail/testdata/mails.txt: each item a mail (the default one with "key=value" changes,
// " | " separated, "\r", "\n" and "\xHH" written so), followed by what the send gave and the
// message the server read (see SmtpSink). The keys: server (down: one that is not running),
// sink (offered or required: a server that asks for a login), from, recipients, subject, text
// (none: never set), attach (a report written under that name; a path from "/" as it is),
// gone (the attachment is removed before the send), login (1: on), user, password.
TEST(CurlMailerTest, SendsWhatTheServerReads) {
  TempDir dir;
  SmtpSink sink;
  ASSERT_TRUE(sink.status().ok()) << sink.status().message();
  const std::string down = SmtpSink().Address();  // its port is closed at once
  ExpectGoldenTable("src/mail/testdata/mails.txt", [&](const std::string& item) {
    std::map<std::string, std::string> m = {
        {"server", sink.Address()},         {"from", "robot@agency.test"},
        {"recipients", "desk@agency.test"}, {"subject", "Ambervale alert"},
        {"text", "Run finished."},          {"user", "alerts"}};
    for (const std::string& change : ItemParts(item, " | ")) {
      m[change.substr(0, change.find('='))] = Unescaped(change.substr(change.find('=') + 1));
    }
    std::unique_ptr<SmtpSink> own;
    if (m.count("sink") != 0) own = std::make_unique<SmtpSink>(m["sink"]);
    if (own) m["server"] = own->Address();
    if (m["server"] == "down") m["server"] = down;
    const std::string attach = m["attach"];  // empty: none
    const std::string attachment = attach.starts_with("/") ? attach : dir.File(attach);
    if (!attach.empty() && !attach.starts_with("/")) {
      dir.Write(attach, "PCC,Status\r\nLON1,Q \xB7 \x80\r\n");
    }
    SmtpSink& server = own ? *own : sink;
    const size_t before = server.Messages().size();
    // The steps in the alerts' order; the first failure is the result.
    CurlMailerFactory factory(CurlMailerOptions{2000, 5000});  // every server is on loopback
    std::unique_ptr<Mailer> mailer = factory.Create();
    Status s = Status::Ok();
    const auto step = [&](const Status& next) {
      if (s.ok()) s = next;
    };
    step(mailer->SetRecipientSeparator(";"));
    step(mailer->SetServer(m["server"]));
    step(mailer->SetFrom(m["from"]));
    step(mailer->SetRecipients(m["recipients"]));
    step(mailer->SetSubject(m["subject"]));
    if (m["text"] != "none") step(mailer->SetMessageText(m["text"]));
    if (!attach.empty()) step(mailer->AddAttachment(attachment));
    step(mailer->SetUseAuthentication(m["login"] == "1"));
    step(mailer->SetUserName(m["user"]));
    step(mailer->SetPassword(m["password"]));
    if (m.count("gone") != 0) std::filesystem::remove(attachment);
    if (s.ok()) s = mailer->Send();

    std::string out = "send: " + (s.ok() ? "ok" : s.message()) + "\n";
    const std::vector<std::string> mails = server.Messages();
    for (size_t i = before; i < mails.size(); ++i) out += mails[i];
    for (const auto& [from, to] :
         {std::pair{server.Address(), "SINK"}, {down, "DOWN"}, {dir.path(), "DIR"}}) {
      out = Replace(out, from, to);
    }
    // A refused connection's message names the port and the milliseconds it took.
    return std::regex_replace(out, std::regex("port \\d+ after \\d+ ms"), "port N after T ms");
  });
}

// src/mail/testdata/smtp_server_url.txt: each server setting and its URL or refusal.
TEST(SmtpServerUrlTest, AcceptsTheServerForms) {
  ExpectGoldenTable("src/mail/testdata/smtp_server_url.txt", [](const std::string& server) {
    std::string url;
    const Status s = SmtpServerUrl(server, &url);
    return (s.ok() ? url : "refused: " + s.message()) + "\n";
  });
}

TEST(MimeTest, DatesAndHeaderLines) {
  EXPECT_EQ(RfcDate(2026, 12, 6, 10, 0, 0, 0), "Sun, 06 Dec 2026 10:00:00 +0000");
  EXPECT_EQ(RfcDate(2000, 2, 29, 23, 59, 58, -16200), "Tue, 29 Feb 2000 23:59:58 -0430");
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
}  // namespace ambervale::testing

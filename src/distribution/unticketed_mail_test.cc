// The unticketed run end to end through a real SMTP server on loopback: the report leaves as
// the mail's only part, byte for byte, with no message text.

#include <gtest/gtest.h>

#include "mail/curl_mailer.h"
#include "testing/smtp_sink.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

TEST(UnticketedMailTest, TheReportIsTheMailsAttachment) {
  TempDir sink_dir;
  SmtpSink sink(sink_dir.path());
  ASSERT_TRUE(sink.status().ok()) << sink.status().message();

  TestProgram p;
  p.WriteSettings(
      "[EMails]\r\nEmailInternal=ops@agency.example\r\n"
      "EmailVantoraHelpDesk=desk@agency.example\r\n"
      "[MailSetting]\r\nSMTPServerString=" +
      sink.Address() +
      "\r\nFromString=ambervale@agency.example\r\n"
      "SubjectString=Unticketed PNR report\r\n");
  p.Connect(Scenario({R"({"locator": "UTK001", "owner_pcc": "ABC1", "name": "SMITH/J MR",
                          "airlines": ["AA"], "tau": "TKTG-TAU/XX{today+1}"})"},
                     {}));
  p.PrepareUnticketed({"ABC1,ALL,3"});
  // The program's own parts, with the libcurl mail component.
  CurlMailerFactory curl(CurlMailerOptions{2000, 5000});
  Alerts alerts(p.form, curl);
  Session session{p.form, alerts, *p.layer};
  UnticketedRun run(session);
  Distribution distribution(session, &run);
  EXPECT_EQ(ExitCode([&] { distribution.MoveQueue(); }), 0);

  const std::string report = p.Log("Unticketed_PNR_Log_1.csv");
  ASSERT_NE(report.find("ABC1,UTK001,41,\r\n"), std::string::npos) << report;
  const std::vector<ReceivedMail> mails = sink.Messages();
  ASSERT_EQ(mails.size(), 1u);
  const ReceivedMail& mail = mails[0];
  EXPECT_TRUE(mail.defects.empty());
  EXPECT_EQ(mail.mail_from, "ambervale@agency.example");
  EXPECT_EQ(mail.rcpt_tos, (std::vector<std::string>{"ops@agency.example", "desk@agency.example"}));
  EXPECT_EQ(mail.Header("subject"), "Unticketed PNR report");
  EXPECT_EQ(mail.body, "");
  ASSERT_EQ(mail.attachments.size(), 1u);
  EXPECT_EQ(mail.attachments[0].filename, "Unticketed_PNR_Log_1.csv");
  EXPECT_EQ(mail.attachments[0].content_type, "text/csv");
  EXPECT_EQ(mail.attachments[0].data, report);
  EXPECT_NE(
      p.Log("action_log_1.txt").find("Email Alert sent to ops@agency.example;desk@agency.example"),
      std::string::npos);
}

}  // namespace
}  // namespace ambervale::testing

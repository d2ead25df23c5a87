// The unticketed run end to end through a real SMTP server on loopback: the report leaves as
// the mail's only part, byte for byte, with no message text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "distribution/distribution.h"
#include "distribution/unticketed_run.h"
#include "distribution/unticketed_test_util.h"
#include "mail/alerts.h"
#include "mail/curl_mailer.h"
#include "testing/smtp_sink.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

TEST(UnticketedMailTest, TheReportIsTheMailsAttachment) {
  TempDir sink_dir;
  sink_dir.Write("sink/.keep", "");
  SmtpSink sink(sink_dir.File("sink"));
  ASSERT_TRUE(sink.status().ok()) << sink.status().message();

  testing::UnticketedStart u({"ABC1,ALL,3", "DEF3,\"LH,AA\",2"});
  u.dir.Write("settings.ini",
              "[EMails]\r\nEmailInternal=ops@agency.example\r\n"
              "EmailVantoraHelpDesk=desk@agency.example\r\n"
              "[MailSetting]\r\nSMTPServerString=" +
                  sink.Address() +
                  "\r\nFromString=ambervale@agency.example\r\n"
                  "SubjectString=Unticketed PNR report\r\n");

  // The program's own parts, with the libcurl mail component.
  CurlMailerFactory curl(CurlMailerOptions{2000, 5000});
  Alerts alerts(u.p->form, curl);
  Session session{u.p->form, alerts, *u.p->layer};
  UnticketedRun run(session);
  Distribution distribution(session, &run);
  int exit_code = -1;
  try {
    distribution.MoveQueue();
  } catch (const ProgramEnded& ended) {
    exit_code = ended.exit_code;
  }
  EXPECT_EQ(exit_code, 0);

  const std::string report = u.Report();
  ASSERT_NE(report.find("Run completed successfully: Y,,,"), std::string::npos) << report;
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
  EXPECT_NE(u.p->Log("action_log_1.txt")
                .find("Email Alert sent to ops@agency.example;desk@agency.example"),
            std::string::npos);
}

}  // namespace
}  // namespace ambervale

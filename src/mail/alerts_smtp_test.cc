// The alerts through the libcurl mail component to a real SMTP server on loopback.

#include <gtest/gtest.h>

#include "mail/alerts.h"
#include "mail/curl_mailer.h"
#include "testing/smtp_sink.h"
#include "testing/test_program.h"

namespace ambervale {
namespace {

constexpr CurlMailerOptions kLoopbackTimeouts{2000, 5000};

std::string Settings(const std::string& server) {
  return "[FailQueue]\r\nEmailAlert1=fq@agency.test\r\nEmailAlert2=lead@agency.test\r\n"
         "[EMails]\r\nEmailInternal=ops@agency.test\r\n"
         "[MailSetting]\r\nSMTPServerString=" +
         server + "\r\nFromString=robot@agency.test\r\nSubjectString=Ambervale alert\r\n";
}

TEST(AlertsOverSmtpTest, FailQueueMailArrivesWithItsLogAttached) {
  TestProgram p;
  p.dir.Write("sink/.keep", "");
  SmtpSink sink(p.dir.File("sink"));
  ASSERT_TRUE(sink.status().ok()) << sink.status().message();
  p.WriteSettings(Settings(sink.Address()));
  p.dir.Write("logs/Fail_Queue_Log.csv", "From PCC, From Queue\r\nAB12,40,90,,ABC123\r\n");
  CurlMailerFactory curl(kLoopbackTimeouts);
  Alerts alerts(p.form, curl);

  EXPECT_EQ(alerts.SendFailQueueEmail("2026/12/06:10:00:00 AB12\n PNR(s) moved to Fail Queue",
                                      "Attached is the list.\r\n\r\nAmbervale", true),
            "OK");
  const std::vector<ReceivedMail> mails = sink.Messages();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].rcpt_tos, (std::vector<std::string>{"fq@agency.test", "lead@agency.test"}));
  EXPECT_EQ(mails[0].Header("subject"), "2026/12/06:10:00:00 AB12  PNR(s) moved to Fail Queue");
  EXPECT_NE(mails[0].body.find("Attached is the list."), std::string::npos);
  ASSERT_EQ(mails[0].attachments.size(), 1u);
  EXPECT_EQ(mails[0].attachments[0].filename, "Fail_Queue_Log.csv");
  EXPECT_EQ(mails[0].attachments[0].data, "From PCC, From Queue\r\nAB12,40,90,,ABC123\r\n");
  EXPECT_NE(p.RunLog().find("Email Alert sent to fq@agency.test;lead@agency.test"),
            std::string::npos);
}

TEST(AlertsOverSmtpTest, ServerDownFailsTheFailQueueMailAndRaisesTheGeneralAlert) {
  TestProgram p;
  p.dir.Write("sink/.keep", "");
  SmtpSink sink(p.dir.File("sink"));
  ASSERT_TRUE(sink.status().ok()) << sink.status().message();
  const std::string address = sink.Address();
  sink.Stop();  // the port is closed now
  p.WriteSettings(Settings(address));
  CurlMailerFactory curl(kLoopbackTimeouts);
  Alerts alerts(p.form, curl);

  EXPECT_EQ(alerts.SendFailQueueEmail("s", "b", false), "Fail");
  EXPECT_NE(
      p.Log("action_log_1.txt")
          .find(" - Sending Email Alert FAILED to fq@agency.test;lead@agency.test FAILED !!!"),
      std::string::npos);
  const Status general = alerts.SendEmailAlert("Error message: host lost", false);
  EXPECT_NE(general.message().find("sending through smtp://" + address), std::string::npos)
      << general.message();
}

}  // namespace
}  // namespace ambervale

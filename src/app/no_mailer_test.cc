#include "app/no_mailer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mail/alerts.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

using ::testing::HasSubstr;

TEST(NoMailerTest, EverySendFailsAndTheDebugLogSaysWhy) {
  TestProgram p;
  p.WriteSettings(
      "[FailQueue]\r\nEmailAlert1=fq@agency.example\r\n[MailSetting]\r\n"
      "SMTPServerString=smtp.agency.example\r\n");
  NoMailerFactory mailers;
  Alerts alerts(p.form, mailers);
  EXPECT_EQ(alerts.SendFailQueueEmail("subject", "body", false), "Fail");
  EXPECT_THAT(p.Log("debug_log_1.txt"), HasSubstr(std::string(kNoMailerMessage)));
  EXPECT_THAT(p.Log("action_log_1.txt"), HasSubstr("Sending Email Alert FAILED"));
}

}  // namespace
}  // namespace ambervale::testing

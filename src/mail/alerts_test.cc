#include "mail/alerts.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/classic_text.h"
#include "testing/golden.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

// Both kinds of mail as handed to the component, and what the logs say of them; a failing
// component's error is returned and logged, and the run log keeps only the mail that went
// (src/mail/testdata/alerts.txt).
TEST(SendEmailAlertTest, HandsTheMessagesToTheComponentAndLogsThem) {
  TestProgram p;
  p.dir.Write(
      "settings.ini",
      "[MailSetting]\r\nSMTPServerString = mail.example:2525 "
      "\r\nFromString=robot@agency.example\r\n"
      "SubjectString=Ambervale alert\r\nSMTPNeedLoginString= TRUE \r\nSMTPUserNameString=robot\r\n"
      "SMTPPasswordString=secret\r\n[EMails]\r\nEmailInternal=ops@agency.example\r\n"
      "EmailVantoraHelpDesk=desk@vantora.example\r\n[FailQueue]\r\nEmailAlert1=fq@x\r\n");
  p.dir.Write("logs/Fail_Queue_Log.csv", "From PCC, From Queue\r\n");
  EXPECT_TRUE(p.alerts.SendEmailAlert("  HOST Connection failed  ", false).ok());
  EXPECT_EQ(p.alerts.SendFailQueueEmail(
                "2026/12/06:10:00:00 AB12,CD34\n PNR(s) moved to Fail Queue - Ambervale",
                "  body\r\n\r\nAmbervale  ", true),
            "OK");
  p.mailers.set_send_error("server down");
  EXPECT_EQ(p.alerts.SendEmailAlert("m", false).message(), "server down");
  EXPECT_EQ(p.alerts.SendFailQueueEmail("s", "b", false), "Fail");
  std::string out;
  for (const RecordedMail& mail : p.mailers.attempts()) out += "== mail\n" + Describe(mail);
  out += "== action log\n" + p.Log("action_log_1.txt") + "== run log\n" + p.RunLog();
  ExpectGolden("src/mail/testdata/alerts.txt", Replace(out, p.dir.path(), "DIR"));
}

// The general alert goes to the internal address and the help desk; the Fail Queue mail to
// its three alert addresses; each recipient once.
// src/mail/testdata/recipients.txt: the settings (" | " between lines, each in every section:
// the reader takes only the keys of the section asked for) and the mail handed over.
TEST(SendEmailAlertTest, RecipientsAndAuthenticationRules) {
  ExpectGoldenTable("src/mail/testdata/recipients.txt", [](const std::string& item) {
    const bool fail_queue = item.starts_with("fail queue: ");
    const std::string settings = Replace(item.substr(item.find(": ") + 2), " | ", "\n");
    TestProgram p;
    p.dir.Write("settings.ini", "[EMails]\n" + settings + "\n[FailQueue]\n" + settings +
                                    "\n[MailSetting]\n" + settings + "\n");
    if (fail_queue) {
      EXPECT_EQ(p.alerts.SendFailQueueEmail("s", "b", false), "OK");
    } else {
      EXPECT_TRUE(p.alerts.SendEmailAlert("m", false).ok());
    }
    return p.mailers.sent().empty() ? "(nothing sent)\n" : Describe(p.mailers.sent()[0]);
  });
}

// A repeated alert stays quiet for [EMails] AlertQuietMinutes, across starts (each alert
// here is sent by a start of its own over the same folder, at its minute): the same text once
// trimmed, 60 minutes after the first, 59 after the last; the unticketed report ("UTK") is never
// held back. A memory that cannot be read is no memory; a setting of 0 keeps none, one that is
// no number is reported (src/mail/testdata/quiet_alerts.txt).
TEST(SendEmailAlertTest, RepeatedAlertsStayQuietAcrossStarts) {
  TestProgram p;
  std::string out;
  for (const auto& [at_minute, quiet, text] :
       std::initializer_list<std::tuple<int64_t, const char*, const char*>>{
           {0, "60", "Host down"},
           {30, "60", " Host down  "},
           {30, "60", "Sign-on failed"},
           {30, "60", "UTK report"},
           {30, "60", "UTK report"},
           {60, "60", "Host down"},
           {119, "60", "Host down"},
           {119, "garbage", "Host down"},
           {119, "0", "Host down"},
           {119, "1h", "Host down"}}) {
    TestProgram start(true, p.dir.path());
    start.env.Advance(at_minute * 60'000);
    if (std::string(quiet) == "garbage") p.dir.Write("logs/Mailed_Alerts.txt", "garbage\r\n");
    p.dir.Write("settings.ini",
                std::string("[EMails]\r\nEmailInternal=ops@x\r\nAlertQuietMinutes= ") +
                    (std::string(quiet) == "garbage" ? "60" : quiet) + " \r\n");
    if (std::string(text).starts_with("UTK")) start.form.strPNRMoveMode = "UTK";
    EXPECT_TRUE(start.alerts.SendEmailAlert(text, false).ok()) << text;
    out += "minute " + std::to_string(at_minute) + ", quiet " + quiet + ": \"" + text + "\" " +
           (start.mailers.sent().empty() ? "held back" : "mailed") + "\n";
  }
  out +=
      "== action log\n" + p.Log("action_log_1.txt") + "== debug log\n" + p.Log("debug_log_1.txt");
  ExpectGolden("src/mail/testdata/quiet_alerts.txt", Replace(out, p.dir.path(), "DIR"));
}

}  // namespace
}  // namespace ambervale::testing

#include "mail/alerts.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/classic_text.h"
#include "platform/files.h"
#include "testing/golden.h"
#include "testing/test_program.h"

namespace ambervale {
namespace {

constexpr char kSmtp[] =
    "[MailSetting]\r\nSMTPServerString = mail.example:2525 \r\nFromString=robot@agency.example\r\n"
    "SubjectString=Ambervale alert\r\nSMTPNeedLoginString= TRUE \r\nSMTPUserNameString=robot\r\n"
    "SMTPPasswordString=secret\r\n";

// Both kinds of mail as handed to the component, and what the logs say of them; a failing
// component's error is returned and logged, and the run log keeps only the mail that went
// (src/mail/testdata/alerts.txt).
TEST(SendEmailAlertTest, HandsTheMessagesToTheComponentAndLogsThem) {
  TestProgram p;
  p.WriteSettings(
      std::string(kSmtp) +
      "[EMails]\r\nEmailInternal=ops@agency.example\r\n"
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
  size_t at;
  while ((at = out.find(p.dir.path())) != std::string::npos)
    out.replace(at, p.dir.path().size(), "DIR");
  testing::ExpectGolden("src/mail/testdata/alerts.txt", out);
}

// The general alert goes to the internal address and the help desk; the Fail Queue mail to
// its three alert addresses; each recipient once.
// src/mail/testdata/recipients.txt: the settings (" | " between lines, each in every section:
// the reader takes only the keys of the section asked for) and the mail handed over.
TEST(SendEmailAlertTest, RecipientsAndAuthenticationRules) {
  testing::ExpectGoldenTable("src/mail/testdata/recipients.txt", [](const std::string& item) {
    const bool fail_queue = item.starts_with("fail queue: ");
    std::string settings = item.substr(item.find(": ") + 2);
    for (size_t at; (at = settings.find(" | ")) != std::string::npos;)
      settings.replace(at, 3, "\n");
    TestProgram p;
    p.WriteSettings("[EMails]\n" + settings + "\n[FailQueue]\n" + settings + "\n[MailSetting]\n" +
                    settings + "\n");
    if (fail_queue) {
      EXPECT_EQ(p.alerts.SendFailQueueEmail("s", "b", false), "OK");
    } else {
      EXPECT_TRUE(p.alerts.SendEmailAlert("m", false).ok());
    }
    return p.mailers.sent().empty() ? "(nothing sent)\n" : Describe(p.mailers.sent()[0]);
  });
}

// In the unticketed mode the alert completes the report (a failed run gets its status lines)
// and mails it as the attachment, with no text; the report is kept when no mail can go
// (src/mail/testdata/unticketed_alerts.txt).
TEST(SendEmailAlertTest, UnticketedModeCompletesTheReportAndAttachesIt) {
  std::string out;
  for (const auto& [name, success, create_fails] :
       std::initializer_list<std::tuple<const char*, bool, bool>>{
           {"failed run", false, false},
           {"successful run", true, false},
           {"no mail component", true, true}}) {
    TestProgram p;
    p.WriteSettings("[EMails]\r\nEmailInternal=ops@x\r\n");
    p.form.strPNRMoveMode = "UTK";
    p.form.tmpCurrentPCC = "AB12";
    p.form.colReportLines = {"Error message: NO MATCHING BOOKING FILES FOUND >> LD/X"};
    p.mailers.set_create_fails(create_fails);
    p.logs.AppendUnticketedHeader("header,,,");
    p.logs.AppendUnticketedStatus("status,");
    const Status sent = p.alerts.SendEmailAlert("Error message: boom", success);
    std::string run = std::string("== ") + name + ": " + (sent.ok() ? "sent" : sent.message()) +
                      "\n" + p.Log("Unticketed_PNR_Log_1.csv") + "== files:";
    for (const std::string& file : ListFolder(p.dir.File("logs"))) run += " " + file;
    run += "\n";
    for (const RecordedMail& mail : p.mailers.sent()) run += Describe(mail);
    for (size_t at; (at = run.find(p.dir.path())) != std::string::npos;)
      run.replace(at, p.dir.path().size(), "DIR");
    out += run;
  }
  testing::ExpectGolden("src/mail/testdata/unticketed_alerts.txt", out);
}

int Count(const std::string& text, std::string_view part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// One start of the program over the test's folder, on its clock, sends one general alert;
// true when it was mailed.
bool MailedAtAStart(TestProgram& p, std::string_view text, bool unticketed = false) {
  Logs logs(p.env, p.dir.File("logs"));
  logs.SetSizeLimit(1 << 30);
  frmMain form(p.env, p.window, logs);
  if (unticketed) form.strPNRMoveMode = "UTK";
  Alerts alerts(form, p.mailers);
  const size_t before = p.mailers.sent().size();
  EXPECT_TRUE(alerts.SendEmailAlert(text, false).ok()) << text;
  return p.mailers.sent().size() > before;
}

TEST(SendEmailAlertTest, RepeatedAlertsStayQuietAcrossStarts) {
  TestProgram p;
  p.WriteSettings("[EMails]\r\nEmailInternal=ops@x\r\nAlertQuietMinutes= 60 \r\n");
  const struct {
    int64_t at_minute;
    const char* text;
    bool unticketed;
    bool mailed;
  } kSteps[] = {
      {0, "Host down", false, true},
      {30, " Host down  ", false, false},  // the same text once trimmed
      {30, "Sign-on failed", false, true},
      {30, "report", true, true},  // the unticketed report is never held back
      {30, "report", true, true},
      {60, "Host down", false, true},    // 60 minutes after the first
      {119, "Host down", false, false},  // 59 minutes after the last one
  };
  int64_t minute = 0;
  for (const auto& step : kSteps) {
    p.env.Advance((step.at_minute - minute) * 60'000);
    minute = step.at_minute;
    EXPECT_EQ(MailedAtAStart(p, step.text, step.unticketed), step.mailed)
        << step.text << " at minute " << step.at_minute;
  }
  const std::string action_log = p.Log("action_log_1.txt");
  EXPECT_EQ(Count(action_log,
                  "Alert not mailed: the same alert went at 2026/12/06 10:00:00, less "
                  "than 60 minutes ago ([EMails] AlertQuietMinutes): Host down\r\n"),
            1);
  EXPECT_EQ(Count(action_log, "went at 2026/12/06 11:00:00"), 1);

  // A memory that cannot be read is no memory; a setting of 0 keeps none.
  p.dir.Write("logs/Mailed_Alerts.txt", "garbage\r\n");
  EXPECT_TRUE(MailedAtAStart(p, "Host down"));
  EXPECT_EQ(Count(p.Log("debug_log_1.txt"), "Mailed_Alerts.txt is not a list of mailed alerts"), 1);
  p.WriteSettings("[EMails]\r\nEmailInternal=ops@x\r\nAlertQuietMinutes=0\r\n");
  EXPECT_TRUE(MailedAtAStart(p, "Host down"));
  p.WriteSettings("[EMails]\r\nEmailInternal=ops@x\r\nAlertQuietMinutes=1h\r\n");
  EXPECT_TRUE(MailedAtAStart(p, "Host down"));
  EXPECT_EQ(Count(p.Log("debug_log_1.txt"), "[EMails] AlertQuietMinutes = \"1h\" is no whole"), 1);
}

}  // namespace
}  // namespace ambervale

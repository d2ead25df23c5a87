// The unticketed mode on the simulated host: what the run sends, what it places on the
// destination queue, the report it builds and mails, and how it ends.

#include "distribution/unticketed_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/task_maintenance.h"
#include "distribution/distribution_test_util.h"
#include "distribution/unticketed_test_util.h"
#include "platform/classic_text.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

using testing::UnticketedStart;

const std::string kCrLfText(kCrLf);

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + kCrLfText;
  return text;
}

bool Has(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The entries of the run starting with `prefix`.
std::vector<std::string> EntriesStarting(const UnticketedStart& u, std::string_view prefix) {
  std::vector<std::string> out;
  for (const std::string& e : u.Entries()) {
    if (e.starts_with(prefix)) out.push_back(e);
  }
  return out;
}

// The header block as start-up leaves it, then the lines of the run.
std::string ReportHeader(const std::vector<std::string>& run_lines) {
  std::vector<std::string> lines = {"XML Ambervale activity log,,,",
                                    "Run date/time:2026/12/06 10:00:00,,,"};
  lines.insert(lines.end(), run_lines.begin(), run_lines.end());
  return Lines(lines);
}

std::string StatusBlock(const std::vector<std::string>& rows) {
  std::vector<std::string> lines = {"", "PCC,PNR,Destination Queue,"};
  lines.insert(lines.end(), rows.begin(), rows.end());
  return Lines(lines);
}

// Clicks Cancel at the `n`th time the run lets window events run (1 = the next).
void ClickCancelAt(RecordingWindow& window, int n) {
  if (n <= 1) {
    window.OnNextDoEvents([](WindowEvents& events) { events.OnCancelClick(false); });
  } else {
    window.OnNextDoEvents([&window, n](WindowEvents&) { ClickCancelAt(window, n - 1); });
  }
}

TEST(UnticketedRunTest, EveryTaskThroughMailsTheWholeReport) {
  UnticketedStart u({"ABC1,ALL,3", "DEF3,\"LH,AA\",2"});
  u.dir.Write("logs/Unticketed_PNR_Log_1.csv", "an earlier report\r\n");

  EXPECT_EQ(u.Run(), 0);

  EXPECT_EQ(u.Entries(),
            (std::vector<std::string>{"QX+I", "SEM/ABC1/AG", "LD/ABC1/UTK/06DEC*09DEC-D",
                                      "LD/ABC1/UTK/06DEC*09DEC-Q/ABC1/41", "SEM/DEF3/AG",
                                      "LD/DEF3/UTK/LH.AA/06DEC*08DEC-D",
                                      "LD/DEF3/UTK/LH.AA/06DEC*08DEC-Q/DEF3/41"}));
  // Only the unticketed PNRs due in the range, of the airlines asked for; their other queues
  // are kept.
  EXPECT_EQ(u.p->Queue("ABC1/41"), (std::vector<std::string>{"UTK001", "UTK002"}));
  EXPECT_EQ(u.p->Queue("DEF3/41"), (std::vector<std::string>{"UTK006", "UTK008"}));
  EXPECT_EQ(u.p->Queue("ABC1/12"), (std::vector<std::string>{"UTK001", "UTK003"}));

  const std::string report = u.Report();
  EXPECT_EQ(report, "an earlier report\r\n\r\n\r\n" +
                        ReportHeader({"Host Command: LD/ABC1/UTK/06DEC*09DEC-Q/ABC1/41,,",
                                      "Host Command: LD/DEF3/UTK/LH.AA/06DEC*08DEC-Q/DEF3/41,,",
                                      "Run completed successfully: Y,,,"}) +
                        StatusBlock({"ABC1,UTK001,41,", "ABC1,UTK002,41,", "DEF3,UTK006,41,",
                                     "DEF3,UTK008,41,"}));
  EXPECT_FALSE(u.dir.Exists("logs/tempHeader.txt"));
  EXPECT_FALSE(u.dir.Exists("logs/tempHeaderStatus.txt"));

  ASSERT_EQ(u.p->mailers.sent().size(), 1u);
  const RecordedMail& mail = u.p->mailers.sent()[0];
  EXPECT_EQ(mail.subject, "Ambervale alert");
  EXPECT_FALSE(mail.text_set) << "the report goes as the attachment, without text";
  ASSERT_EQ(mail.attachments.size(), 1u);
  EXPECT_EQ(mail.attachments[0], u.dir.File("logs/Unticketed_PNR_Log_1.csv"));
  EXPECT_EQ(mail.attachment_contents[0], report);

  const RecordingWindow& w = u.p->window;
  EXPECT_TRUE(w.visible(Control::kFrmProgressBar));
  EXPECT_EQ(w.progress_max(), 2);
  EXPECT_EQ(w.progress_value(), 2);
  std::vector<std::string> label6;
  for (const auto& [control, text] : w.caption_history()) {
    if (control == Control::kLabel6) label6.push_back(text);
  }
  EXPECT_EQ(label6, (std::vector<std::string>{"Processing PCC 1 of 2", "Processed PCC 1 of 2",
                                              "Processing PCC 2 of 2", "Processed PCC 2 of 2"}));
  EXPECT_EQ(u.p->form.tmpCurrentPCC, "DEF3");
}

TEST(UnticketedRunTest, AirlinesAndDaysChooseThePnrs) {
  const struct {
    const char* task;
    const char* listing;  // nullptr: none sent
    std::vector<std::string> queued;
  } kCases[] = {
      {"ABC1,ALL,3", "LD/ABC1/UTK/06DEC*09DEC-D", {"UTK001", "UTK002"}},
      {"ABC1,all,3", "LD/ABC1/UTK/06DEC*09DEC-D", {"UTK001", "UTK002"}},
      {"ABC1,AA,3", "LD/ABC1/UTK/AA/06DEC*09DEC-D", {"UTK001"}},
      {"ABC1,AA,5", "LD/ABC1/UTK/AA/06DEC*11DEC-D", {"UTK001", "UTK003"}},
      {"ABC1,\"BA,LH\",5", "LD/ABC1/UTK/BA.LH/06DEC*11DEC-D", {"UTK002"}},
      {"ABC1,\"AA,BA,LH,AF,KL\",1", "LD/ABC1/UTK/AA.BA.LH.AF.KL/06DEC*07DEC-D", {"UTK001"}},
      {"ABC1,ALL,0", nullptr, {}},
      {"ABC1,AA,-1", nullptr, {}},
      {"ABC1,,3", nullptr, {}},
  };
  for (const auto& c : kCases) {
    UnticketedStart u({c.task});
    EXPECT_EQ(u.Run(), 0) << c.task;
    const std::vector<std::string> listings = EntriesStarting(u, "LD/");
    if (c.listing == nullptr) {
      EXPECT_TRUE(listings.empty()) << c.task;
    } else {
      ASSERT_EQ(listings.size(), 2u) << c.task;
      EXPECT_EQ(listings[0], c.listing) << c.task;
      EXPECT_EQ(listings[1], Replace(c.listing, "-D", "-Q/ABC1/41")) << c.task;
    }
    EXPECT_EQ(u.p->Queue("ABC1/41"), c.queued) << c.task;
  }
}

TEST(UnticketedRunTest, ATaskWithoutSearchReportsTheScreenItFinds) {
  // The first task's screen is the emulation's answer; the second one names the listing entry
  // of the task before it, as that is what the host last answered.
  UnticketedStart u({"ABC1,ALL,0", "DEF3,ALL,3", "XYZ9,,2"});
  EXPECT_EQ(u.Run(), 0);
  EXPECT_EQ(u.Entries(), (std::vector<std::string>{
                             "QX+I", "SEM/ABC1/AG", "SEM/DEF3/AG", "LD/DEF3/UTK/06DEC*09DEC-D",
                             "LD/DEF3/UTK/06DEC*09DEC-Q/DEF3/41", "SEM/XYZ9/AG"}));
  EXPECT_TRUE(u.p->Queue("ABC1/41").empty());
  EXPECT_EQ(u.Report(), ReportHeader({"Host Command: LD/DEF3/UTK/06DEC*09DEC-Q/DEF3/41,,",
                                      "Run completed successfully: Y,,,",
                                      "Error message: HOST Command Failed to retrieve record >> ",
                                      "Error message: HOST Command Failed to retrieve record >> "
                                      "LD/DEF3/UTK/06DEC*09DEC-D"}) +
                            StatusBlock({"DEF3,UTK006,41,", "DEF3,UTK008,41,"}));
}

TEST(UnticketedRunTest, ATaskWithoutSearchNeverReportsOrPlacesAnEarlierList) {
  // A host that answers the emulation with a list still on its screen: the task made no search,
  // so none of those PNRs is reported or queued.
  UnticketedStart u({"ABC1,ALL,0"});
  u.p->tap->Intercept("SEM/ABC1/AG", {"B.F. COUNT 001<CARRIAGE_RETURN/>",
                                      " 001 *UTK001<TABSTOP/>SMITH/JOHN<CARRIAGE_RETURN/>",
                                      "END OF DISPLAY<CARRIAGE_RETURN/>"});
  EXPECT_EQ(u.Run(), 0);
  EXPECT_TRUE(EntriesStarting(u, "LD/").empty());
  EXPECT_TRUE(u.p->Queue("ABC1/41").empty());
  EXPECT_FALSE(Has(u.Report(), "UTK001"));
  EXPECT_FALSE(Has(u.Report(), "Host Command:"));
}

TEST(UnticketedRunTest, SixAirlinesEndTheProgramWithoutMail) {
  UnticketedStart u({"ABC1,ALL,3", "DEF3,\"AA,BA,LH,AF,KL,IB\",3", "XYZ9,ALL,3"});
  EXPECT_EQ(u.Run(), 1);
  EXPECT_TRUE(EntriesStarting(u, "SEM/DEF3").empty());
  EXPECT_TRUE(EntriesStarting(u, "LD/DEF3").empty());
  EXPECT_TRUE(u.p->mailers.attempts().empty());
  ASSERT_EQ(u.p->window.boxes().size(), 1u);
  const RecordingWindow::Box& box = u.p->window.boxes()[0];
  EXPECT_EQ(box.text,
            "Errors are found in task maintenance.\r\nNote a maximum of 5 airlines can be "
            "specified.");
  EXPECT_EQ(box.buttons, BoxButtons::kOk);
  EXPECT_EQ(box.icon, BoxIcon::kCritical);
  EXPECT_EQ(box.title, "");
  EXPECT_TRUE(Has(u.p->Log("debug_log_1.txt"),
                  "##### 2026/12/06 10:00:00. Errors are found in task maintenance. Please check "
                  "or contact administrator. #####\r\n"));
}

TEST(UnticketedRunTest, AnUnansweredListingIsReportedAndTheRunGoesOn) {
  const struct {
    const char* task;
    const char* line;
  } kCases[] = {
      {"ABC1,ZZ,3",
       "Error message: NO MATCHING BOOKING FILES FOUND >> LD/ABC1/UTK/ZZ/06DEC*09DEC-D"},
      {"ABC1,\"AA,,BA\",3",  // the host refuses the empty airline code: no B.F. COUNT
       "Error message: HOST Command Failed to retrieve record >> LD/ABC1/UTK/AA..BA/06DEC*09DEC-D"},
  };
  for (const auto& c : kCases) {
    UnticketedStart u({c.task, "DEF3,ALL,3"});
    EXPECT_EQ(u.Run(), 0) << c.task;
    EXPECT_TRUE(EntriesStarting(u, "LD/ABC1/UTK/06DEC*09DEC-Q").empty()) << c.task;
    EXPECT_EQ(u.p->Queue("DEF3/41"), (std::vector<std::string>{"UTK006", "UTK008"})) << c.task;
    EXPECT_EQ(u.Report(), ReportHeader({"Host Command: LD/DEF3/UTK/06DEC*09DEC-Q/DEF3/41,,",
                                        "Run completed successfully: Y,,,", c.line}) +
                              StatusBlock({"DEF3,UTK006,41,", "DEF3,UTK008,41,"}))
        << c.task;
    EXPECT_TRUE(Has(u.p->Log("debug_log_1.txt"), "##### 2026/12/06 10:00:00 \" #####\r\n"))
        << c.task;
    EXPECT_EQ(u.p->form.tmpCurrentPCC, "DEF3") << c.task;
  }
}

TEST(UnticketedRunTest, ARefusedEmulationIsReportedAndTheTaskGoesOn) {
  UnticketedStart u({"DEF3,ALL,3", "ABC1,AA,3"}, "41", "{}", {"DEF3"});
  EXPECT_EQ(u.Run(), 0);
  EXPECT_EQ(
      u.Entries(),
      (std::vector<std::string>{
          "QX+I", "SEM/DEF3/AG", "LD/DEF3/UTK/06DEC*09DEC-D", "LD/DEF3/UTK/06DEC*09DEC-Q/DEF3/41",
          "SEM/ABC1/AG", "LD/ABC1/UTK/AA/06DEC*09DEC-D", "LD/ABC1/UTK/AA/06DEC*09DEC-Q/ABC1/41"}));
  EXPECT_EQ(u.p->Queue("DEF3/41"), (std::vector<std::string>{"UTK006", "UTK008"}));
  EXPECT_TRUE(Has(u.Report(),
                  "Run completed successfully: Y,,,\r\nError message: Unable to emulate to PCC "
                  "'DEF3' please verify login credentials to this PCC\r\n"));
}

TEST(UnticketedRunTest, AnUnconfirmedQueuingEndsTheRun) {
  // Queue 100 does not exist: the host refuses the queuing entry of the first task.
  {
    UnticketedStart u({"ABC1,ALL,3", "DEF3,ALL,3"}, "100");
    u.p->form.tmpCurrentPCC = "OLD";  // from an earlier run: cleared at the start
    EXPECT_EQ(u.Run(), 0);
    EXPECT_EQ(EntriesStarting(u, "LD/").back(), "LD/ABC1/UTK/06DEC*09DEC-Q/ABC1/100");
    EXPECT_TRUE(EntriesStarting(u, "SEM/DEF3").empty());
    EXPECT_TRUE(u.p->Queue("ABC1/100").empty());
    EXPECT_EQ(
        u.Report(),
        ReportHeader({"Host Command: LD/ABC1/UTK/06DEC*09DEC-Q/ABC1/100,,",
                      "Run completed successfully: N,,,", "Last PCC completed successfully: ,,,",
                      "Error message: Unable to move PNRs in PCC 'ABC1' please manually "
                      "check PNRs."}) +
            StatusBlock({"ABC1,UTK001,100,", "ABC1,UTK002,100,"}));
    EXPECT_EQ(u.p->mailers.sent().size(), 1u);
  }
  // The second task's queuing is not confirmed: the first PCC is the last one completed.
  {
    UnticketedStart u({"ABC1,ALL,3", "DEF3,ALL,3", "XYZ9,ALL,3"});
    u.p->tap->Intercept("LD/DEF3/UTK/06DEC*09DEC-Q/", {"SYSTEM BUSY<CARRIAGE_RETURN/>"});
    EXPECT_EQ(u.Run(), 0);
    EXPECT_TRUE(EntriesStarting(u, "SEM/XYZ9").empty());
    EXPECT_TRUE(Has(u.Report(),
                    "Run completed successfully: N,,,\r\n"
                    "Last PCC completed successfully: ABC1,,,\r\n"
                    "Error message: Unable to move PNRs in PCC 'DEF3' please "
                    "manually check PNRs.\r\n"));
  }
}

TEST(UnticketedRunTest, CancelStopsAfterTheTaskInWork) {
  const struct {
    int do_events;  // when the Cancel button is clicked
    BoxAnswer answer;
    std::vector<std::string> emulated;
    const char* outcome;  // the report's lines after the header's host commands
  } kCases[] = {
      // While the first task shows its progress.
      {2,
       BoxAnswer::kYes,
       {"SEM/ABC1/AG"},
       "Run completed successfully: N,,,\r\nLast PCC completed successfully: ABC1,,,\r\n"
       "Error message: Processing cancelled at 2026/12/06 10:00:00 by Ann Lee.,,,\r\n"},
      // Between the first and the second task: the second one still runs.
      {3,
       BoxAnswer::kYes,
       {"SEM/ABC1/AG", "SEM/DEF3/AG"},
       "Run completed successfully: N,,,\r\nLast PCC completed successfully: DEF3,,,\r\n"
       "Error message: Processing cancelled at 2026/12/06 10:00:00 by Ann Lee.,,,\r\n"},
      {3,
       BoxAnswer::kNo,
       {"SEM/ABC1/AG", "SEM/DEF3/AG", "SEM/XYZ9/AG"},
       "Run completed successfully: Y,,,\r\n"},
  };
  for (const auto& c : kCases) {
    UnticketedStart u({"ABC1,ALL,3", "DEF3,ALL,3", "XYZ9,ALL,3"});
    u.p->env.set_operator_name("Ann.Lee");
    u.p->window.QueueAnswer(c.answer);
    ClickCancelAt(u.p->window, c.do_events);
    EXPECT_EQ(u.Run(), 0) << c.do_events;
    EXPECT_EQ(EntriesStarting(u, "SEM/"), c.emulated) << c.do_events;
    ASSERT_EQ(u.p->window.boxes().size(), 1u) << c.do_events;
    EXPECT_EQ(u.p->window.boxes()[0].title, "Cancel queuing unticketed PNRs");
    EXPECT_TRUE(Has(u.Report(), c.outcome)) << c.do_events << "\n" << u.Report();
    EXPECT_EQ(u.p->mailers.sent().size(), 1u) << c.do_events;
  }
}

TEST(UnticketedRunTest, AnUnexpectedErrorGoesStraightToTheSummary) {
  UnticketedStart u({"ABC1,ALL,3", "DEF3,ALL,3", "XYZ9,ALL,3"});
  u.p->tap->OnEntry("LD/DEF3/", [] { throw std::runtime_error("the terminal component broke"); });
  EXPECT_EQ(u.Run(), 0);
  EXPECT_TRUE(EntriesStarting(u, "SEM/XYZ9").empty());
  EXPECT_TRUE(u.p->Queue("DEF3/41").empty());
  EXPECT_TRUE(Has(u.Report(),
                  "Run completed successfully: N,,,\r\n"
                  "Last PCC completed successfully: ABC1,,,\r\n"
                  "Error message: the terminal component broke\r\n"));
  EXPECT_EQ(u.p->mailers.sent().size(), 1u);
}

TEST(UnticketedRunTest, AFailedSignOnAtTheStartKeepsItsReport) {
  // Signed out after start-up; the agent id is refused.
  testing::StartSettings settings;
  settings.agent_id = "9999";
  UnticketedStart u({"ABC1,ALL,3"}, "41", R"({"sign_out_after": 2})", {}, settings);
  EXPECT_EQ(u.Run(), 1);
  EXPECT_EQ(u.Entries(), (std::vector<std::string>{"QX+I", "SON/9999", "OP/W*"}));
  EXPECT_EQ(u.Report(), ReportHeader({"Error message: Login to Vantora Desktop has failed. Please "
                                      "check that the login details in the Settings.ini file are "
                                      "correct."}) +
                            StatusBlock({}));
  EXPECT_FALSE(u.dir.Exists("logs/tempHeader.txt"));
  EXPECT_TRUE(u.p->mailers.attempts().empty());
}

TEST(UnticketedRunTest, AMailThatFailsStillEndsTheProgram) {
  UnticketedStart u({"ABC1,ALL,3"});
  u.p->mailers.set_send_error("connection refused");
  EXPECT_EQ(u.Run(), 0);
  EXPECT_TRUE(Has(u.Report(), "Run completed successfully: Y,,,"));
  EXPECT_TRUE(Has(u.p->Log("action_log_1.txt"), "Sending Email Alert FAILED"));
}

}  // namespace
}  // namespace ambervale

// The work on one PNR, run through MoveQueue on the simulated host: identification, the move
// entries, the log lines and counters of each outcome.

#include <gtest/gtest.h>

#include "distribution/distribution_test_util.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

using testing::MappingCsv;
using testing::Pnr;
using testing::ProgramStart;
using testing::Scenario;
using testing::StartSettings;
using testing::TasksCsv;

std::string StandardMapping() {
  return MappingCsv({",XY,,,,,P1,12,,SINE", "SMITH,,,,,,P1,13,,NAME", ",,,129,,,P1,14,,DI.AC",
                     ",,,,00123,,P2,5,,CI", ",,,,,ACME,P2,6,C1,DI.X"});
}

class PnrStepTest : public ::testing::Test {
 protected:
  // A start on `scenario` with one task (ABC1 queue 12, MAP1.CSV) unless `tasks` says more.
  ProgramStart& Start(const std::string& scenario, const StartSettings& settings = {},
                      const std::vector<std::string>& tasks = {"ABC1,12,,MAP1.CSV,N,"},
                      const std::string& mapping = StandardMapping()) {
    dir_.Write("tasks.csv", TasksCsv(tasks));
    dir_.Write("MAP1.CSV", mapping);
    start_ = std::make_unique<ProgramStart>(dir_.path(), scenario, false, settings);
    start_->LoadConfiguration();
    return *start_;
  }

  TempDir dir_;
  std::unique_ptr<ProgramStart> start_;
};

TEST_F(PnrStepTest, EachIdentificationKindFindsItsAgent) {
  ProgramStart& p = Start(Scenario(
      {Pnr("AAA001", "XY", "JONES/ANN MRS"), Pnr("AAA002", "QQ", "SMITH/JOHN MR"),
       Pnr("AAA003", "QQ", "BLACK/BO", R"("di": ["AC ACCT-129"])"),
       Pnr("AAA004", "QQ", "GREEN/AL", R"("ci": "00123")"),
       Pnr("AAA005", "QQ", "WHITE/JO", R"("di": ["X/QD-ACME"])"),
       Pnr("AAA006", "XY", "SMITH/JOHN MR"),
       Pnr("AAA007", "QQ", "GRAY/ED", R"("di": ["AC ACCT-129"], "ci": "00123")")},
      {{"ABC1/12", {"AAA001", "AAA002", "AAA003", "AAA004", "AAA005", "AAA006", "AAA007"}}}));
  p.MoveQueue();

  EXPECT_TRUE(p.Queue("ABC1/12").empty());
  EXPECT_EQ(p.Queue("P1/12"), (std::vector<std::string>{"AAA001", "AAA006"}));
  EXPECT_EQ(p.Queue("P1/13"), (std::vector<std::string>{"AAA002", "AAA006"}));
  EXPECT_EQ(p.Queue("P1/14"), (std::vector<std::string>{"AAA003", "AAA007"}));
  EXPECT_EQ(p.Queue("P2/5"), (std::vector<std::string>{"AAA004", "AAA007"}));
  EXPECT_EQ(p.Queue("P2/6*C1"), (std::vector<std::string>{"AAA005"}));

  const std::string success = p.Log("Success_PNR_1.txt");
  const char* kLines[] = {
      "AAA001 moved from Queue 12 to PCC P1 Queue 12 moved by SINE.",
      "AAA002 moved from Queue 12 to PCC P1 Queue 13 moved by NAME.",
      "AAA003 moved from Queue 12 to PCC P1 Queue 14 moved by DI.AC.",
      "AAA004 moved from Queue 12 to PCC P2 Queue 5 moved by CI.",
      "AAA005 moved from Queue 12 to PCC P2 Queue 6 Category C1 moved by DI.X.",
      "AAA006 moved from Queue 12 to PCC P1 Queue 12, P1 Queue 13 moved by SINE,NAME.",
      "AAA007 moved from Queue 12 to PCC P1 Queue 14, P2 Queue 5 moved by DI.AC,CI.",
  };
  for (const char* line : kLines) {
    EXPECT_NE(success.find("#### 2026/12/06 10:00:00 - " + std::string(line) + " ####\r\n"),
              std::string::npos)
        << line << "\n"
        << success;
  }
  const std::vector<std::string>& entries = p.tap->entries();
  EXPECT_NE(std::find(entries.begin(), entries.end(), "QEB/P1/12+P1/13"), entries.end());
  EXPECT_NE(std::find(entries.begin(), entries.end(), "QEB/P1/14+P2/5"), entries.end());
  EXPECT_EQ(p.form.intSuccessCount, 7);
  EXPECT_EQ(p.form.intFailCount, 0);
}

TEST_F(PnrStepTest, OneSimplePnrTakesTheseEntries) {
  ProgramStart& p =
      Start(Scenario({Pnr("AAA001", "XY", "JONES/ANN MRS")}, {{"ABC1/12", {"AAA001"}}}),
            StartSettings().NoFailQueue());
  p.MoveQueue();
  const std::vector<std::string> expected = {
      "QX+I",  // the sign-on check
      "QX+I",      "SEM/SU", "QCB/ABC1/12", "SEM/ABC1/AG", "QLD/ABC1/12/TS",
      "Q/ABC1/12",                                  // enter the queue
      "*R",                                         // AAA001/XY
      "*P",        "*DI",    "*CI",         "*DI",  // the lookups
      "QPB*12",                                     // the reference banner
      "QEB/P1/12",                                  // the move, confirmed
      "*R",                                         // the queue is empty now
  };
  EXPECT_EQ(p.tap->TakeEntries(), expected);
  EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"AAA001"});
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(PnrStepTest, MovedFailedAndUnmappedPnrsGetTheirLines) {
  ProgramStart& p = Start(
      Scenario({Pnr("AAA001", "XY", "JONES/ANN MRS"), Pnr("BBB002", "QQ", "BROWN/TOM MR"),
                Pnr("CCC003", "XY", "GRAY/ED MR")},
               {{"ABC1/12", {"AAA001", "BBB002", "CCC003"}}}, R"({"refuse_move": {"CCC003": 3}})"));
  p.MoveQueue();

  // Three refused moves, then the Fail Queue; the unmapped PNR goes there at once.
  EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"AAA001"});
  EXPECT_EQ(p.Queue("ABC1/50"), (std::vector<std::string>{"BBB002", "CCC003"}));
  EXPECT_TRUE(p.Queue("ABC1/12").empty());
  EXPECT_EQ(p.form.intSuccessCount, 1);
  EXPECT_EQ(p.form.intFailCount, 2);
  EXPECT_EQ(p.form.lngSuccessOrgQ2FailQCount, 2);
  EXPECT_EQ(p.form.lngFailOrgQ2FailQCount, 0);

  const std::string stamp = "2026/12/06 10:00:00 - ";
  const std::string action = p.Log("action_log_1.txt");
  EXPECT_TRUE(Has(action, stamp + "AAA001: move to P1 Queue 12\r\n")) << action;
  EXPECT_TRUE(Has(action, stamp + "BBB002: FAIL. No agent mapped\r\n")) << action;
  EXPECT_TRUE(Has(action, stamp + "CCC003: FAIL. Cannot move to P1 Queue 12\r\n"
                                  "UNABLE TO PLACE - CCC003 \r\n"))
      << action;

  const std::string failed = p.Log("Failed_PNR_1.txt");
  EXPECT_EQ(
      failed,
      "##### 2026/12/06 10:00:00. ABC1 Queue/category 12 BBB002 - no agent mapped. #####\r\n" +
          stamp + "CCC003: FAIL. Cannot move to P1 Queue 12. UNABLE TO PLACE - CCC003 \r\n");
  EXPECT_EQ(
      p.Log("Success_PNR_1.txt"),
      "#### " + stamp + "AAA001 moved from Queue 12 to PCC P1 Queue 12 moved by SINE. ####\r\n");

  const std::string run = p.RunLog();
  for (const char* line :
       {"AAA001: retrieved in ABC1/Q12", "Start to move PNR into Fail Queue",
        "HOST Command: QEB/ABC1/50",
        "BBB002 moved from Queue 12 to Fail Queue 50 moved by SINE/NAME/DI.AC/CI/DI.X",
        "END to move PNR into Fail Queue", "UNABLE TO PLACE - CCC003 ",
        "##### 2026/12/06 10:00:00. ABC1 Queue/category 12 BBB002 - no agent mapped. #####",
        "AAA001 moved from Queue 12 to PCC P1 Queue 12 moved by SINE."}) {
    EXPECT_TRUE(Has(run, line)) << line;
  }

  // Both rows of the Fail Queue Log, under one header block.
  EXPECT_EQ(p.Log("Fail_Queue_Log.csv"),
            "From PCC, From Queue,To Queue,To Category,PNR,Failed PNRs Time,Reason for Failure,"
            "SINE,NAME,DI.AC,CI,DI.X\r\n"
            "2026/12/06 10:00:00 - Started by Agent,,,,,,,,,,,\r\n"
            "Fail Queue assigned : ,,50,,,,,,,,,\r\n"
            "ABC1,12,50,,BBB002,2026/12/06 10:00:00,Agent not mapped,QQ,1.1BROWN/TOM MR,,,\r\n"
            "ABC1,12,50,,CCC003,2026/12/06 10:00:00,UNABLE TO PLACE - CCC003 ,\r\n");

  // The end of the run mails the log.
  ASSERT_EQ(p.mailers.sent().size(), 1u);
  const RecordedMail& mail = p.mailers.sent()[0];
  EXPECT_EQ(mail.subject, "2026/12/06:10:00:00 ABC1  PNR(s) moved to Fail Queue - Ambervale");
  EXPECT_EQ(mail.recipients, "failq@agency.example");
  ASSERT_EQ(mail.attachments.size(), 1u);
  EXPECT_TRUE(Has(mail.attachment_contents[0], ",BBB002,"));
  EXPECT_TRUE(action.ends_with(" \r\n"));  // the separator between runs
}

TEST_F(PnrStepTest, RefusedNotepadLeavesThePnrOnItsQueue) {
  ProgramStart& p =
      Start(Scenario({Pnr("AAA001", "XY", "JONES/ANN MRS"), Pnr("BBB002", "XY", "GRAY/ED MR")},
                     {{"ABC1/12", {"AAA001", "BBB002"}}}, R"({"refuse_notepad": ["AAA001"]})"),
            {}, {"ABC1,12,,MAP1.CSV,Y,CHECKED BY TOOL"});
  p.MoveQueue();

  EXPECT_EQ(p.Queue("ABC1/12"), std::vector<std::string>{"AAA001"});
  EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"BBB002"});
  EXPECT_TRUE(p.Queue("ABC1/50").empty());
  EXPECT_EQ(p.world().pnrs.Find("BBB002")->notepad, std::vector<std::string>{"CHECKED BY TOOL"});
  // Counted once: met again, the refused PNR ends the queue instead of failing twice.
  EXPECT_EQ(p.form.intFailCount, 1);
  EXPECT_EQ(p.form.intSuccessCount, 1);
  const std::vector<std::string> entries = p.tap->entries();
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "NP.CHECKED BY TOOL"), 2);
  EXPECT_EQ(entries.back(), "QX+I");
  EXPECT_TRUE(Has(p.Log("Failed_PNR_1.txt"), "AAA001: FAIL. Notepad entry refused: FORMAT"));
  EXPECT_EQ(p.Log("Fail_Queue_Log.csv"), "");
}

TEST_F(PnrStepTest, OnlyTheFirstRowsNoteIsSentAndTheLastRowDecides) {
  dir_.Write("MAP2.CSV", MappingCsv({"GRAY,,,,,,P2,7,,NAME"}));
  ProgramStart& p =
      Start(Scenario({Pnr("AAA001", "XY", "GRAY/ED MR"), Pnr("BBB002", "XY", "JONES/ANN")},
                     {{"ABC1/12", {"AAA001", "BBB002"}}}),
            StartSettings().NoFailQueue(),
            {"ABC1,12,,MAP1.CSV,Y,FIRST NOTE", "ABC1,12,,MAP2.CSV,Y,SECOND NOTE"});
  p.MoveQueue();
  // AAA001 is XY in MAP1 but only MAP2's agent counts; BBB002 has no agent in MAP2.
  EXPECT_EQ(p.Queue("P2/7"), std::vector<std::string>{"AAA001"});
  EXPECT_TRUE(p.Queue("P1/12").empty());
  EXPECT_EQ(p.Queue("ABC1/12"), std::vector<std::string>{"BBB002"});
  EXPECT_EQ(p.world().pnrs.Find("AAA001")->notepad, std::vector<std::string>{"FIRST NOTE"});
  const std::vector<std::string>& entries = p.tap->entries();
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "NP.SECOND NOTE"), 0);
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "*P"), 4);  // both rows, both PNRs
  EXPECT_TRUE(Has(p.Log("Success_PNR_1.txt"),
                  "AAA001 moved from Queue 12 to PCC P2 Queue 7 "
                  "moved by NAME."));
}

TEST_F(PnrStepTest, DueTicketingDateIsRefreshedAndSigned) {
  ProgramStart& p =
      Start(Scenario({Pnr("AAA001", "XY", "JONES/ANN", R"("tau": "TKTG-TAU/XX{today-2}*NOTE")")},
                     {{"ABC1/12", {"AAA001"}}}),
            StartSettings().TauCheck());
  p.MoveQueue();
  EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"AAA001"});
  const sim::Pnr& pnr = *p.world().pnrs.Find("AAA001");
  EXPECT_EQ(pnr.tau.value_or(""), "TKTG-TAU/XX06DEC*NOTE");
  EXPECT_EQ(pnr.received_from, std::vector<std::string>{"AMBERVALE"});
  const std::vector<std::string> entries = p.tap->TakeEntries();
  const std::vector<std::string> tail(entries.end() - 7, entries.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"*DI", "*TD", "T.T@AU/06DEC*NOTE", "QPB*12",
                                            "R.AMBERVALE", "QEB/P1/12", "*R"}));
  EXPECT_TRUE(Has(p.RunLog(), "AAA001 changes T field."));
}

TEST_F(PnrStepTest, MustMoveIgnoresTheChangesAndTriesAgain) {
  const std::string scenario =
      Scenario({Pnr("AAA001", "XY", "JONES/ANN", R"("tau": "TKTG-TAU/XX{today-2}")")},
               {{"ABC1/12", {"AAA001"}}}, R"({"refuse_move": {"AAA001": 3}})");
  {
    ProgramStart& p = Start(scenario, StartSettings().TauCheck().MustMove());
    p.MoveQueue();
    EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"AAA001"});
    // The refresh went with "IR": the PNR moved unchanged.
    EXPECT_EQ(p.world().pnrs.Find("AAA001")->tau.value_or(""), "TKTG-TAU/XX04DEC");
    const std::vector<std::string> entries = p.tap->TakeEntries();
    const std::vector<std::string> moves(std::find(entries.begin(), entries.end(), "R.AMBERVALE"),
                                         entries.end());
    EXPECT_EQ(moves, (std::vector<std::string>{"R.AMBERVALE", "QEB/P1/12", "*R", "QEB/P1/12", "*R",
                                               "QEB/P1/12", "*R", "IR", "QEB/P1/12", "*R"}));
    EXPECT_EQ(p.form.intSuccessCount, 1);
  }
  {
    // Without MUSTMOVE three tries only, then the Fail Queue.
    ProgramStart& p = Start(scenario, StartSettings().TauCheck());
    p.MoveQueue();
    EXPECT_EQ(p.Queue("ABC1/50"), std::vector<std::string>{"AAA001"});
    const std::vector<std::string>& entries = p.tap->entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "QEB/P1/12"), 3);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "IR"), 0);
  }
}

TEST_F(PnrStepTest, BlankBannerConfirmsNothingByItself) {
  ProgramStart& p = Start(Scenario({Pnr("AAA001", "XY", "JONES/ANN")}, {{"ABC1/12", {"AAA001"}}},
                                   R"({"blank_banner": true, "refuse_move": {"AAA001": 1}})"));
  p.MoveQueue();
  EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"AAA001"});
  // The refused first try is not taken for a move: one success, counted once.
  EXPECT_EQ(p.form.intSuccessCount, 1);
  const std::vector<std::string>& entries = p.tap->entries();
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "QEB/P1/12"), 2);
  const std::string success = p.Log("Success_PNR_1.txt");
  EXPECT_EQ(std::count(success.begin(), success.end(), '\n'), 1);
}

TEST_F(PnrStepTest, AnotherPnrOnScreenMeansTheMoveHappened) {
  ProgramStart& p = Start(Scenario({Pnr("AAA001", "XY", "JONES/ANN"), Pnr("BBB002", "XY", "X/Y")},
                                   {{"ABC1/12", {"AAA001", "BBB002"}}}));
  // The host moves AAA001 but answers without the confirmation.
  p.tap->Rewrite("QEB/P1/12", {"ACCEPTED<CARRIAGE_RETURN/>"});
  p.MoveQueue();
  EXPECT_EQ(p.Queue("P1/12"), (std::vector<std::string>{"AAA001", "BBB002"}));
  EXPECT_EQ(p.form.intSuccessCount, 2);
  EXPECT_EQ(p.form.intFailCount, 0);
  // One entry per PNR: no second try moved BBB002 in AAA001's name.
  const std::vector<std::string>& entries = p.tap->entries();
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "QEB/P1/12"), 2);
  EXPECT_TRUE(Has(p.Log("Success_PNR_1.txt"), "AAA001 moved from Queue 12 to PCC P1 Queue 12"));
}

TEST_F(PnrStepTest, NoLocatorAfterARefusedMoveIsNoMove) {
  ProgramStart& p = Start(Scenario({Pnr("AAA001", "XY", "JONES/ANN")}, {{"ABC1/12", {"AAA001"}}},
                                   R"({"refuse_move": {"AAA001": 3}})"),
                          StartSettings().NoFailQueue());
  // After each refused move the locator display answers without a locator.
  p.tap->Intercept("*R", {"SIGN IN<CARRIAGE_RETURN/>"}, 3, /*skip=*/1);
  p.MoveQueue();
  EXPECT_EQ(p.Queue("ABC1/12"), std::vector<std::string>{"AAA001"});
  EXPECT_EQ(p.form.intSuccessCount, 0);
  EXPECT_EQ(p.form.intFailCount, 1);
  EXPECT_EQ(p.Log("Success_PNR_1.txt"), "");
  EXPECT_TRUE(Has(p.Log("Failed_PNR_1.txt"), "AAA001: FAIL. Cannot move to P1 Queue 12"));
}

TEST_F(PnrStepTest, MappingFileWithoutTableFindsNoAgent) {
  ProgramStart& p = Start(Scenario({Pnr("AAA001", "XY", "JONES/ANN")}, {{"ABC1/12", {"AAA001"}}}));
  AgentMapping kept;
  for (auto& [name, table] : p.form.dictAgentMapping) {
    if (name != "MAP1.CSV") kept.Add(name, table);
  }
  p.form.dictAgentMapping = kept;
  p.MoveQueue();
  EXPECT_EQ(p.Queue("ABC1/50"), std::vector<std::string>{"AAA001"});
  const std::vector<std::string>& entries = p.tap->entries();
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "*P"), 0);
  EXPECT_TRUE(
      Has(p.Log("Fail_Queue_Log.csv"), ",AAA001,2026/12/06 10:00:00,Agent not mapped,XY,,,,\r\n"));
  EXPECT_TRUE(Has(p.RunLog(), "Mapping File MAP1.CSV has no loaded table: no agent found"));
}

TEST_F(PnrStepTest, CountersWrapAtNineHundredNinetyNineMillion) {
  ProgramStart& p = Start(Scenario({Pnr("AAA001", "XY", "JONES/ANN"), Pnr("BBB002", "QQ", "X/Y")},
                                   {{"ABC1/12", {"AAA001", "BBB002"}}}),
                          StartSettings().NoFailQueue());
  p.form.intSuccessCount = 999'999'999;
  p.form.intFailCount = 999'999'999;
  p.MoveQueue();
  EXPECT_EQ(p.form.intSuccessCount, 1);
  EXPECT_EQ(p.form.intSuccessSubCount, 1);
  EXPECT_EQ(p.form.intFailCount, 1);
  EXPECT_EQ(p.form.intFailSubCount, 1);
  EXPECT_EQ(p.window.caption(Control::kLbSuccessCount), "1");
  EXPECT_EQ(p.window.caption(Control::kLbSuccessSubCount), "(1)");
  EXPECT_EQ(p.window.caption(Control::kLbFailSubCount), "(1)");
}

TEST_F(PnrStepTest, WithoutFailQueueAnUnmappedPnrIsIgnored) {
  ProgramStart& p = Start(Scenario({Pnr("AAA001", "QQ", "X/Y")}, {{"ABC1/12", {"AAA001"}}}),
                          StartSettings().NoFailQueue());
  p.MoveQueue();
  EXPECT_EQ(p.Queue("ABC1/12"), std::vector<std::string>{"AAA001"});
  EXPECT_EQ(p.Log("Fail_Queue_Log.csv"), "");
  EXPECT_TRUE(p.mailers.sent().empty());
  EXPECT_EQ(p.form.intFailCount, 1);
}

TEST_F(PnrStepTest, RefusedFailQueueMoveLeavesARemarkAndAMail) {
  const struct {
    const char* name;
    const char* faults;
    const char* subject_end;
    const char* action_line;
    std::vector<std::string> notepad;
  } kCases[] = {
      {"remark taken",
       R"({"refuse_move": {"AAA001": 3}})",
       " PNR movement failed - Ambervale",
       "Notepad Entry added in the PNR AAA001 on queue no.12*C1 - NP.HX**ZVK-** UNABLE TO MOVE "
       "TO Q 50/C2 - PLS MANUALLY UPDATE PNR**",
       {"HX**ZVK-** UNABLE TO MOVE TO Q 50/C2 - PLS MANUALLY UPDATE PNR**"}},
      {"remark refused",
       R"({"refuse_move": {"AAA001": 3}, "refuse_notepad": ["AAA001"]})",
       " PNR movement Failed - Ambervale",
       "Notepad Entry FAILED in the PNR AAA001 on queue no.12*C1 - NP.HX**ZVK-** UNABLE TO MOVE "
       "TO Q 50/C2 - PLS MANUALLY UPDATE PNR**",
       {}},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    dir.Write("tasks.csv", TasksCsv({"ABC1,12,C1,MAP1.CSV,N,"}));
    dir.Write("MAP1.CSV", StandardMapping());
    ProgramStart p(dir.path(),
                   Scenario({Pnr("AAA001", "QQ", "X/Y"), Pnr("BBB002", "XY", "B/B")},
                            {{"ABC1/12*C1", {"AAA001", "BBB002"}}}, c.faults),
                   false, StartSettings().FailCategory("C2"));
    p.LoadConfiguration();
    p.MoveQueue();
    EXPECT_EQ(p.Queue("ABC1/12*C1"), std::vector<std::string>{"AAA001"}) << c.name;
    EXPECT_TRUE(p.Queue("ABC1/50*C2").empty()) << c.name;
    // The PNR left behind is ignored, so the queue goes on with the next one.
    EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"BBB002"}) << c.name;
    EXPECT_EQ(p.world().pnrs.Find("AAA001")->notepad, c.notepad) << c.name;
    EXPECT_EQ(p.form.lngFailOrgQ2FailQCount, 1) << c.name;
    // The row is written all the same.
    EXPECT_TRUE(Has(p.Log("Fail_Queue_Log.csv"), "ABC1,12*C1,50,C2,AAA001,")) << c.name;
    const std::string run = p.RunLog();
    EXPECT_TRUE(Has(run, c.action_line)) << c.name;
    EXPECT_TRUE(Has(run,
                    "AAA001 FAILED to move from Queue/category 12*C1 to Fail "
                    "Queue/Category 50/C2 moved by SINE/NAME/DI.AC/CI/DI.X"))
        << c.name;
    ASSERT_GE(p.mailers.sent().size(), 1u) << c.name;
    const RecordedMail& mail = p.mailers.sent()[0];
    EXPECT_TRUE(mail.subject.ends_with(c.subject_end)) << c.name << ": " << mail.subject;
    EXPECT_EQ(mail.text,
              "PNR AAA001 on queue no.12*C1 could not  be moved to the Fail queue, Please manually "
              "update this PNR.\r\n\r\nAmbervale\r\nSupport Team")
        << c.name;
    // Three tries, each followed by the locator display, then the remark.
    const std::vector<std::string>& entries = p.tap->entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "QEB/ABC1/50*C2"), 3) << c.name;
    EXPECT_EQ(entries.back(), "QX+I") << c.name;
  }
}

TEST_F(PnrStepTest, TheFailQueueRowIsWrittenBeforeTheMove) {
  ProgramStart& p = Start(Scenario({Pnr("AAA001", "QQ", "X/Y")}, {{"ABC1/12", {"AAA001"}}}));
  // A crash just as the move to the Fail Queue leaves: the row is already there.
  p.tap->OnEntry("QEB/ABC1/50", [&] {
    EXPECT_TRUE(Has(p.Log("Fail_Queue_Log.csv"), ",AAA001,"));
    throw ProgramEnded{9};
  });
  EXPECT_THROW(p.MoveQueue(), ProgramEnded);
  EXPECT_EQ(p.Queue("ABC1/12"), std::vector<std::string>{"AAA001"});
  EXPECT_EQ(p.Log("Fail_Queue_Log.csv"),
            "From PCC, From Queue,To Queue,To Category,PNR,Failed PNRs Time,Reason for Failure,"
            "SINE,NAME,DI.AC,CI,DI.X\r\n"
            "2026/12/06 10:00:00 - Started by Agent,,,,,,,,,,,\r\n"
            "Fail Queue assigned : ,,50,,,,,,,,,\r\n"
            "ABC1,12,50,,AAA001,2026/12/06 10:00:00,Agent not mapped,QQ,1.1X/Y,,,\r\n");
  EXPECT_EQ(p.Log("Fail_Queue_Log_Archive_1.csv"), p.Log("Fail_Queue_Log.csv"));
}

}  // namespace
}  // namespace ambervale

// A default-mode task on the simulated host: counting, emulation, listing, entering, the rules
// that end or restart the walk of a queue, and the work on each PNR.

#include <gtest/gtest.h>

#include "config/run_lookup.h"
#include "host/sign_on.h"
#include "platform/classic_text.h"
#include "testing/golden.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

// `n` PNRs named P00001, P00002, ...
std::vector<std::string> Locators(int n) {
  std::vector<std::string> out;
  for (int i = 1; i <= n; ++i) out.push_back("P" + std::to_string(100000 + i).substr(1));
  return out;
}

// The PNRs `locators` of agent XY (QQ for a "Q" in `sines`, which has no agent) on `queues`.
std::string OnQueues(const std::vector<std::string>& locators,
                     const std::map<std::string, std::vector<std::string>>& queues,
                     std::string_view faults = "{}", std::string_view sines = "") {
  std::vector<std::string> pnrs;
  for (size_t i = 0; i < locators.size(); ++i) {
    pnrs.push_back(Pnr(locators[i], i < sines.size() && sines[i] == 'Q' ? "QQ" : "XY", "N/N"));
  }
  return Scenario(pnrs, queues, faults, true, {"XYZ9"});
}

// `parts` joined by spaces; with `walk_only` without the listing and the lookups of each PNR.
std::string Joined(const std::vector<std::string>& parts, bool walk_only = false) {
  std::string out;
  for (const std::string& e : parts) {
    if (walk_only && (e.starts_with("QLD/") || e == "MR" || e == "*P" || e == "*DI" || e == "*CI" ||
                      e.starts_with("QPB"))) {
      continue;
    }
    out += (out.empty() ? "" : " ") + e;
  }
  return out;
}

// A fresh start on `scenario` with the tasks (one by default: ABC1 queue 12 by MAP1.CSV).
// MAP1.CSV maps XY to P1/12 by sine and has a row of each other kind, so that every lookup runs;
// MAP2.CSV maps GRAY to P2/7.
std::unique_ptr<TestProgram> Start(const std::string& scenario,
                                   const std::vector<std::string>& tasks = {
                                       "ABC1,12,,MAP1.CSV,N,"}) {
  auto p = std::make_unique<TestProgram>();
  p->dir.Write("tasks.csv", TasksCsv(tasks));
  p->dir.Write("MAP1.CSV",
               MappingCsv({",XY,,,,,P1,12,,SINE", "SMITH,,,,,,P1,13,,NAME", ",,,129,,,P1,14,,DI.AC",
                           ",,,,00123,,P2,5,,CI", ",,,,,ACME,P2,6,C1,DI.X"}));
  p->dir.Write("MAP2.CSV", MappingCsv({"GRAY,,,,,,P2,7,,NAME"}));
  p->Connect(scenario);
  p->LoadConfiguration();
  return p;
}

// The ends of a queue's walk, for both of its callers: the run over ABC1/12 (sine X moves to
// P1/12, Q stays; no Fail Queue) and the return from the Fail Queue ABC1/50 at the run's start,
// whose log has a row naming ABC1/14 for each PNR (the run then walks its empty queue). Each case:
// the PNRs P00001... by sine, the host's script, the walk's entries and the PNRs left on the walked
// queue; a PNR left on the Fail Queue keeps its row, one that went back loses it.
TEST(QueueTaskTest, EveryWalkEndsByTheSameRules) {
  const auto answer = [](const char* prefix, const char* line, int times = 1, int skip = 0) {
    return [=](HostTap& tap) {
      tap.Intercept(prefix, {std::string(line) + "<CARRIAGE_RETURN/>"}, times, skip);
    };
  };
  // The walks' openings: the run's sign-on check, then the walk; a restart after "I" (the Fail
  // Queue's walk is the same walk: its restarts are the run's cases).
  const std::string kRun = "QX+I QX+I SEM/SU QCB/ABC1/12 SEM/ABC1/AG Q/ABC1/12 ";
  const std::string kRestart = "I QX+I SEM/SU QCB/ABC1/12 Q/ABC1/12 ";
  const std::string kReturn = "QX+I QX+I SEM/SU QCB/ABC1/50 SEM/ABC1/AG Q/ABC1/50 ";
  const std::string kThenRun = " QX+I QX+I SEM/SU QCB/ABC1/12 SEM/ABC1/AG Q/ABC1/12 *R";
  const struct {
    const char* name;
    bool fail_queue;
    std::string sines;
    std::string entries;
    const char* left;
    std::function<void(HostTap&)> script = [](HostTap&) {};
  } kCases[] = {
      // The wasted retrieval counts: count 2 allows three, so the queue ends by the count.
      {"a first entry that did not take restarts the walk", false, "XX",
       kRun + "*R " + kRestart + "*R QEB/P1/12 *R QEB/P1/12 QX+I", "",
       answer("Q/ABC1/12", "PLEASE WAIT")},
      {"count 3 takes count + 1", false, "XXXXXXXXXX",
       kRun + "*R QEB/P1/12 *R QEB/P1/12 *R QEB/P1/12 *R QEB/P1/12 QX+I",
       "P00005 P00006 P00007 P00008 P00009 P00010",
       [](HostTap& tap) { tap.Rewrite("QCB/ABC1/12", {"QC ABC1 BF/Q012....3"}); }},
      {"the first PNR left comes round", false, "QXQ", kRun + "*R I *R QEB/P1/12 *R I *R QX+I",
       "P00001 P00003"},
      // No lookups for a PNR that is not there.
      {"no locator on the screen", false, "QX", kRun + "*R I *R QX+I", "P00002 P00001",
       [](HostTap& tap) {
         tap.Intercept("*R", {"P00001/QQ ABC1 06DEC<CARRIAGE_RETURN/>"});
         tap.Intercept("*R", {"SIGN IN<CARRIAGE_RETURN/>"});
       }},
      // FINISH OR IGNORE restarts the walk; a host that keeps answering so cannot hold the run:
      // the walk is given up.
      {"FINISH OR IGNORE for ever", false, "X",
       kRun + kRestart + kRestart + kRestart + kRestart + kRestart + "I QX+I", "P00001",
       answer("Q/ABC1/12", "FINISH OR IGNORE", 1000)},
      {"a Fail Queue count that is no number", true, "XXX",
       "QX+I QX+I SEM/SU QCB/ABC1/50" + kThenRun, "P00001 P00002 P00003",
       answer("QCB/ABC1/50", "QC ABC1 BF/Q050....*")},
      {"a Fail Queue count one short takes count + 1", true, "XXX",
       kReturn + "*R QEB/ABC1/14 *R QEB/ABC1/14 *R QEB/ABC1/14 QX+I" + kThenRun, "",
       answer("QCB/ABC1/50", "QC ABC1 BF/Q050....2")},
      // After NO B.F. the walk starts again, the PNRs taken so far counting against the new count.
      {"NO B.F. on the Fail Queue, then a smaller count", true, "XXX",
       kReturn + "*R QEB/ABC1/14 *R I QX+I SEM/SU QCB/ABC1/50 Q/ABC1/50 QX+I" + kThenRun,
       "P00003 P00002",
       [&](HostTap& tap) {
         answer("*R", "NO B.F.", 1, 1)(tap);
         answer("QCB/ABC1/50", "QC ABC1 BF/Q050....1", 1, 1)(tap);
       }},
  };
  for (const auto& c : kCases) {
    const std::vector<std::string> locators = Locators(static_cast<int>(c.sines.size()));
    const std::string walked = c.fail_queue ? "ABC1/50" : "ABC1/12";
    auto p = Start(OnQueues(locators, {{walked, locators}}, "{}", c.sines));
    p->form.FailQueueActivated = c.fail_queue;
    c.script(*p->tap);
    std::string log = FailQueueLogHead("09:00:00");
    for (const std::string& l : locators) {
      log += "ABC1,14,50,," + l + ",2026/12/06 09:00:00,Agent not mapped,QQ,,,,\r\n";
    }
    if (c.fail_queue) p->dir.Write("logs/Fail_Queue_Log.csv", log);
    p->MoveQueue();
    EXPECT_EQ(Joined(p->tap->TakeEntries(), true), c.entries) << c.name;
    EXPECT_EQ(Joined(p->Queue(walked)), c.left) << c.name;
    for (const std::string& l : locators) {
      EXPECT_EQ(Contains(p->Log("Fail_Queue_Log.csv"), l), c.fail_queue && Contains(c.left, l))
          << c.name << " " << l;
    }
  }
}

TEST(QueueTaskTest, StopRequestEndsTheRunAtTheNextPnr) {
  const std::vector<std::string> three = Locators(3);
  auto p = Start(OnQueues(three, {{"ABC1/12", three}}));
  p->form.SendEmailAfterEveryIteration = true;
  // Window events run at the task's start, then twice per PNR (retrieved, before the move).
  p->window.OnNextDoEvents([&](WindowEvents&) { p->form.blnStopRequested = true; }, 3);
  p->MoveQueue();
  EXPECT_EQ(Joined(p->Queue("ABC1/12")), "P00002 P00003");
  EXPECT_TRUE(Contains(p->RunLog(), "Exit in PCC ABC1 on queue/category 12"));
  const std::string action = p->Log("action_log_1.txt");
  EXPECT_FALSE(Contains(action, "Q12. End Retrieving"));
  EXPECT_FALSE(action.ends_with(" \r\n"));

  // No end-of-run mail for the stopped run; a run that ends in order: nothing went to the Fail
  // Queue, so the mail of every run says so, without the log attached.
  p->form.blnStopRequested = false;
  p->MoveQueue();
  ASSERT_EQ(p->mailers.sent().size(), 1u);
  EXPECT_EQ(Describe(p->mailers.sent()[0]),
            "smtp.agency.example: ambervale@agency.example to failq@agency.example (\";\")\n"
            "subject: 2026/12/06:10:00:00 ABC1  PNR(s) not moved to Fail Queue - Ambervale\n"
            "text: No PNRs have been moved to the Fail Queue.\r\n\r\nAmbervale\r\nSupport Team\n");
}

TEST(QueueTaskTest, AFailedSignOnAtTheStartOfARunEndsTheProgram) {
  // Signed out after start-up, and the agent id is refused: at the start of the distribution
  // run, or of the return from the Fail Queue when that is due.
  for (const bool fail_queue_due : {false, true}) {
    auto p = Start(OnQueues({"AAA001"}, {{"ABC1/12", {"AAA001"}}}, R"({"sign_out_after": 2})"));
    p->form.FailQueueActivated = fail_queue_due;
    p->form.strAgentID = "9999";
    EXPECT_EQ(p->MoveQueue(), 1) << fail_queue_due;
    EXPECT_EQ(p->tap->TakeEntries(), (std::vector<std::string>{"QX+I", "SON/9999", "OP/W*"}))
        << fail_queue_due;
    ASSERT_EQ(p->mailers.sent().size(), 1u) << fail_queue_due;
    EXPECT_EQ(p->mailers.sent()[0].text, kLoginFailedMessage) << fail_queue_due;
    EXPECT_EQ(Contains(p->RunLog(), "Login to Vantora Desktop Failed."), fail_queue_due);
  }
}

// The entries of a simple PNR moved by its sine, one on each of two tasks (its log lines are in
// the PNR step tests' transcripts; a queue with a category in those of
// fail_queue_round_trip_test). A refused emulation is logged and tried again by the next task of
// that PCC; the tasks go on all the same (the host here lets the PNRs be taken from the queue).
TEST(QueueTaskTest, SimplePnrsAndAnEmulationTriedAgainAfterARefusal) {
  const std::vector<std::string> two = Locators(2);
  auto p = Start(OnQueues(two, {{"XYZ9/12", {two[0]}}, {"XYZ9/14", {two[1]}}}),
                 {"XYZ9,12,,MAP1.CSV,N,", "XYZ9,14,,MAP1.CSV,N,"});
  p->form.FailQueueActivated = false;
  p->MoveQueue();
  EXPECT_EQ(Joined(p->tap->TakeEntries()),
            "QX+I QX+I SEM/SU QCB/XYZ9/12 SEM/XYZ9/AG QLD/XYZ9/12/TS Q/XYZ9/12 *R *P *DI *CI *DI "
            "QPB*12 QEB/P1/12 *R QX+I SEM/SU QCB/XYZ9/14 SEM/XYZ9/AG QLD/XYZ9/14/TS Q/XYZ9/14 *R "
            "*P *DI *CI *DI QPB*14 QEB/P1/12 *R");
  const std::string refused =
      "##### 2026/12/06 10:00:00 Failed SEM action towards pseudo \"XYZ9\" #####\r\n";
  EXPECT_EQ(p->Log("Failed_PNR_1.txt"), refused + refused);
}

// Blocks of a hundred, each PNR listed once; a host that stops paging ends the listing, and the
// run goes on.
TEST(QueueTaskTest, TheListingPagesBlocksOfAHundredUntilTheHostStops) {
  const std::string six = " MR MR MR MR MR MR";
  for (const int n : {250, 20}) {
    const std::vector<std::string> many = Locators(n);
    auto p = Start(OnQueues(many, {{"ABC1/12", many}}));
    if (n == 20) {
      p->tap->Intercept("MR", {"NOTHING TO SCROLL<CARRIAGE_RETURN/>", "<CARRIAGE_RETURN/>"}, 1000);
    }
    p->MoveQueue();
    const std::string entries = Joined(p->tap->entries());
    const size_t from = entries.find("QLD/");
    EXPECT_EQ(entries.substr(from, entries.find(" Q/ABC1/12") - from),
              "QLD/ABC1/12/TS" + (n == 20 ? " MR"
                                          : " QLD/ABC1/12/TS/1" + six + " QLD/ABC1/12/TS/101" +
                                                six + " QLD/ABC1/12/TS/201 MR MR MR"));
    EXPECT_EQ(p->Queue("P1/12").size(), static_cast<size_t>(n));
    const std::string list = p->Log("PNR_Queue_List_1.txt");
    for (size_t i = 0; n == 250 && i < many.size(); ++i) {
      const std::string listed = " " + many[i] + " ";
      EXPECT_TRUE(Contains(list, listed) && list.find(listed) == list.rfind(listed)) << many[i];
    }
  }
}

// The work on one PNR: identification, the move entries, the log lines and counters of each
// outcome.
TEST(PnrStepTest, MovedFailedAndUnmappedPnrsGetTheirLines) {
  auto p = Start(Scenario({Pnr("AAA001", "XY", "JONES/ANN MRS"),
                           Pnr("BBB002", "QQ", "BROWN/TOM MR"), Pnr("CCC003", "XY", "GRAY/ED MR")},
                          {{"ABC1/12", {"AAA001", "BBB002", "CCC003"}}},
                          R"({"refuse_move": {"CCC003": 3}})"));
  p->MoveQueue();
  // Three refused moves, then the Fail Queue; the unmapped PNR goes there at once. The logs, whole
  // (the counters in the action log's run summary), and the mail of the run's end with the Fail
  // Queue Log attached.
  ExpectGolden("src/distribution/testdata/pnr_outcomes.txt",
               p->Transcript({"action_log_1.txt", "Failed_PNR_1.txt", "Success_PNR_1.txt",
                              "Fail_Queue_Log.csv"}));
}

// Only the first row's note is sent, and the last row decides: GRAY is XY in MAP1, but only
// MAP2's agent counts, and JONES has none there. A refused note leaves the PNR on its queue,
// failed once: met again, it ends the queue.
TEST(PnrStepTest, TheFirstRowsNoteTheLastRowsAgentAndARefusedNote) {
  auto p = Start(
      Scenario({Pnr("CCC003", "XY", "GRAY/AL MR"), Pnr("AAA001", "XY", "GRAY/ED"),
                Pnr("BBB002", "XY", "JONES/ANN")},
               {{"ABC1/12", {"CCC003", "AAA001", "BBB002"}}}, R"({"refuse_notepad": ["CCC003"]})"),
      {"ABC1,12,,MAP1.CSV,Y,FIRST NOTE", "ABC1,12,,MAP2.CSV,Y,SECOND NOTE"});
  p->form.FailQueueActivated = false;
  p->MoveQueue();
  EXPECT_EQ(p->Queue("P2/7"), std::vector<std::string>{"AAA001"});
  EXPECT_EQ(p->Queue("ABC1/12"), (std::vector<std::string>{"CCC003", "BBB002"}));
  EXPECT_EQ(p->world().pnrs.Find("AAA001")->notepad, std::vector<std::string>{"FIRST NOTE"});
  EXPECT_EQ(p->tap->Count("*P"), 6);  // both rows, each PNR once
  EXPECT_EQ(p->form.intFailCount, 2);
  EXPECT_TRUE(Contains(p->Log("Failed_PNR_1.txt"), "CCC003: FAIL. Notepad entry refused: FORMAT"));
}

// Each lookup reads its display, shown with its entry, and logs its match; a long DI display is
// paged with "MR" (a busy answer sent again).
TEST(PnrStepTest, EachLookupReadsItsDisplayAndLogsItsMatch) {
  // Twelve remarks, the account on the second page.
  const std::string more =
      R"("ci": "00123", "di": ["REMARK", "REMARK", "X/QD-ACME", "REMARK", "REMARK", "REMARK", )"
      R"("REMARK", "REMARK", "REMARK", "REMARK", "REMARK", "AC ACCT-129"])";
  // The first "MR" finds the host busy; read as a page, that answer would end the display.
  auto p = Start(
      Scenario({Pnr("ABC123", "XY", "SMITH/JOHN MR", more)}, {{"ABC1/12", {"ABC123"}}},
               R"({"script": [{"prefix": "MR", "lines": )"
               R"(["PREVIOUS ENTRY IN PROGRESS<CARRIAGE_RETURN/>", "<CARRIAGE_RETURN/>"]}]})"));
  p->MoveQueue();
  std::string matched;
  for (const std::string& line : ItemParts(p->RunLog(), "\r\n")) {
    if (Contains(line, " is matched: ")) matched += line + "\r\n";
  }
  const std::string stamp = "2026/12/06 10:00:00 - ";
  const std::string waited = "2026/12/06 10:00:10 - ";  // after the busy host's 10 s
  EXPECT_EQ(matched, stamp + "AGENT Sine is matched: HOST Resopnse- XY\r\n" + stamp +
                         "AGENT name is matched: HOST Resopnse- 1.1SMITH/JOHN MR\r\n" + waited +
                         "DI.AC field is matched: HOST Resopnse- 12.  AC ACCT-129\r\n" + waited +
                         "CI. field is matched: HOST Resopnse- CUST-00123\r\n" + waited +
                         "DI.AC field is matched: HOST Resopnse- 3.   X/QD-ACME\r\n");
  // The success line names every lookup that found an agent.
  EXPECT_EQ(
      p->Log("Success_PNR_1.txt"),
      "#### 2026/12/06 10:00:10 - ABC123 moved from Queue 12 to PCC P1 Queue 12, P1 Queue 13, "
      "P1 Queue 14, P2 Queue 5, P2 Queue 6 Category C1 moved by SINE,NAME,DI.AC,CI,DI.X. "
      "####\r\n");
  RunLookupLog(p->form).PagingGaveUp(
      "DI.AC", p->form.dictAgentMapping.GetOrAdd("MAP1.CSV").GetOrAdd("129").at(0), "MAP1.CSV");
  EXPECT_TRUE(p->Log("debug_log_1.txt")
                  .ends_with("##### 2026/12/06 10:00:10. The DI display was still going on after "
                             "50 MR entries for the DI.AC row \"129\" of MAP1.CSV line 4; the row "
                             "is taken as not matched #####\r\n"));
}

// The ticketing date refresh and the tries of a refused move: the entries from the ticketing
// display on. Another host may show the ticketing line second, or in lower case. Whether a move
// happened is read from the screen after it: its confirmation (a blank banner confirms nothing)
// or, by the locator display, another PNR or an emptied queue; no second try then moves the next
// PNR in this one's name.
TEST(PnrStepTest, TicketingRefreshAndMoveTries) {
  const std::string refused = R"({"refuse_move": {"AAA001": 3}})";
  const std::string shown = R"({"script": [{"prefix": "*TD", "lines": )";
  const std::string refreshed = "*TD T.T@AU/06DEC*NOTE QPB*12 R.AMBERVALE QEB/P1/12 *R";
  const std::string tries = refreshed + " QEB/P1/12 *R QEB/P1/12 *R";
  const struct {
    const char* name;
    std::string faults;
    bool must_move;  // its changes ignored (IR)
    std::string entries;
    std::function<void(HostTap&)> script = [](HostTap&) {};
  } kCases[] = {
      {"the ticketing line second",
       shown +
           R"(["TKTG-TKT ISSUED<CARRIAGE_RETURN/>", "TKTG-TAU/XX04DEC*NOTE<CARRIAGE_RETURN/>"]}]})",
       false, refreshed},
      {"the ticketing line in lower case",
       shown + R"(["tktg-tau/XX04DEC*NOTE<CARRIAGE_RETURN/>", "<CARRIAGE_RETURN/>"]}]})", false,
       refreshed},
      {"MUSTMOVE ignores the changes after three refusals", refused, true,
       tries + " IR QEB/P1/12 *R"},
      {"three tries, then the Fail Queue", refused, false, tries + " *TD QPB*12 QEB/ABC1/50 *R"},
      {"a blank banner confirms nothing by itself",
       R"({"blank_banner": true, "refuse_move": {"AAA001": 1}})", false,
       refreshed + " QEB/P1/12 *R"},
      {"the host went on without confirming the move", "{}", false, refreshed + " *R",
       [](HostTap& tap) { tap.Rewrite("QEB/P1/12", {"ACCEPTED<CARRIAGE_RETURN/>"}); }},
  };
  for (const auto& c : kCases) {
    auto p =
        Start(Scenario({Pnr("AAA001", "XY", "JONES/ANN", R"("tau": "TKTG-TAU/XX{today-2}*NOTE")")},
                       {{"ABC1/12", {"AAA001"}}}, c.faults));
    p->form.blnTAUCheck = true;
    p->form.blnMustMove = c.must_move;
    c.script(*p->tap);
    p->MoveQueue();
    const std::string entries = Joined(p->tap->entries());
    EXPECT_EQ(entries.substr(entries.find("*TD")), c.entries) << c.name;
    EXPECT_TRUE(Contains(p->Log("action_log_1.txt"), "10:00:00 - AAA001 changes T fields.\r\n"))
        << c.name;
    EXPECT_TRUE(Contains(p->RunLog(), "10:00:00 - AAA001 changes T field.\r\n")) << c.name;
    // Counted and logged once when moved.
    const std::string success = p->Log("Success_PNR_1.txt");
    EXPECT_EQ(p->form.intSuccessCount, std::count(success.begin(), success.end(), '\n')) << c.name;
  }
}

// A PNR the Fail Queue refuses three times stays, ignored, with its row written all the same, a
// remark (unless the notepad is refused too) and a mail: the logs, notepad and mails whole in
// src/distribution/testdata/fail_queue_refused.txt.
TEST(PnrStepTest, RefusedFailQueueMoveLeavesARemarkAndAMail) {
  std::string out;
  for (const char* faults : {R"({"refuse_move": {"AAA001": 3}})",
                             R"({"refuse_move": {"AAA001": 3}, "refuse_notepad": ["AAA001"]})"}) {
    auto p = Start(Scenario({Pnr("AAA001", "QQ", "X/Y"), Pnr("BBB002", "XY", "B/B")},
                            {{"ABC1/12*C1", {"AAA001", "BBB002"}}}, faults),
                   {"ABC1,12,C1,MAP1.CSV,N,"});
    p->form.FailQueueCategory = "C2";
    p->MoveQueue();
    // The PNR left behind is ignored, so the queue goes on with the next one (its three tries
    // and the next PNR's move are in the run log).
    EXPECT_EQ(p->form.lngFailOrgQ2FailQCount, 1) << faults;
    out += "=== " + std::string(faults) + "\nnotepad:";
    for (const std::string& line : p->world().pnrs.Find("AAA001")->notepad) out += " " + line;
    out += "\n" + p->Transcript({"Fail_Queue_Log.csv"});
  }
  ExpectGolden("src/distribution/testdata/fail_queue_refused.txt", out);
}

}  // namespace
}  // namespace ambervale::testing

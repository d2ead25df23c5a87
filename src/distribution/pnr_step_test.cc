// The work on one PNR, run through MoveQueue on the simulated host: identification, the move
// entries, the log lines and counters of each outcome.

#include <gtest/gtest.h>

#include "platform/classic_text.h"
#include "testing/golden.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

// A fresh start on `scenario` with the tasks (one by default: ABC1 queue 12 by MAP1.CSV).
// MAP1.CSV has a row of each kind, so that every lookup runs; MAP2.CSV maps GRAY to P2/7.
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

TEST(PnrStepTest, MovedFailedAndUnmappedPnrsGetTheirLines) {
  auto p = Start(Scenario({Pnr("AAA001", "XY", "JONES/ANN MRS"),
                           Pnr("BBB002", "QQ", "BROWN/TOM MR"), Pnr("CCC003", "XY", "GRAY/ED MR")},
                          {{"ABC1/12", {"AAA001", "BBB002", "CCC003"}}},
                          R"({"refuse_move": {"CCC003": 3}})"));
  p->MoveQueue();
  // Three refused moves, then the Fail Queue; the unmapped PNR goes there at once.
  EXPECT_EQ(p->Queue("ABC1/50"), (std::vector<std::string>{"BBB002", "CCC003"}));

  // The logs, whole (the counters in the action log's run summary), and the mail of the run's
  // end with the Fail Queue Log attached.
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
  EXPECT_EQ(p->tap->Count("NP.FIRST NOTE"), 2);
  EXPECT_EQ(p->tap->Count("*P"), 6);  // both rows, each PNR once
  EXPECT_EQ(p->form.intFailCount, 2);
  EXPECT_TRUE(Contains(p->Log("Failed_PNR_1.txt"), "CCC003: FAIL. Notepad entry refused: FORMAT"));
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
    bool must_move;  // its changes ignored: the due date stays
    std::string entries;
    std::function<void(HostTap&)> script = [](HostTap&) {};
  } kCases[] = {
      {"due date refreshed and signed", "{}", false, refreshed},
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
    std::string entries;
    for (const std::string& e : p->tap->entries()) entries += " " + e;
    EXPECT_EQ(entries.substr(entries.find(" *TD") + 1), c.entries) << c.name;
    EXPECT_EQ(p->world().pnrs.Find("AAA001")->tau.value_or(""),
              c.must_move ? "TKTG-TAU/XX04DEC*NOTE" : "TKTG-TAU/XX06DEC*NOTE")
        << c.name;
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
    // are in the run log).
    EXPECT_EQ(p->Queue("ABC1/12*C1"), std::vector<std::string>{"AAA001"}) << faults;
    EXPECT_EQ(p->form.lngFailOrgQ2FailQCount, 1) << faults;
    out += "=== " + std::string(faults) + "\nnotepad:";
    for (const std::string& line : p->world().pnrs.Find("AAA001")->notepad) out += " " + line;
    out += "\n" + p->Transcript({"Fail_Queue_Log.csv"});
  }
  ExpectGolden("src/distribution/testdata/fail_queue_refused.txt", out);
}

}  // namespace
}  // namespace ambervale::testing

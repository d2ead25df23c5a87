// A default-mode task on the simulated host: counting, emulation, listing, entering, and the
// rules that end or restart the walk of a queue.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "distribution/distribution_test_util.h"
#include "failqueue/fail_queue_return.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

using testing::MappingCsv;
using testing::Pnr;
using testing::ProgramStart;
using testing::Scenario;
using testing::StartSettings;
using testing::TasksCsv;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

long Count(const std::vector<std::string>& entries, std::string_view entry) {
  return std::count(entries.begin(), entries.end(), entry);
}

// `n` PNRs of agent XY named P00001, P00002, ...
std::vector<std::string> Locators(int n) {
  std::vector<std::string> out;
  for (int i = 1; i <= n; ++i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "P%05d", i);
    out.emplace_back(buf);
  }
  return out;
}

std::vector<std::string> PnrsOf(const std::vector<std::string>& locators,
                                std::string_view sine = "XY") {
  std::vector<std::string> out;
  for (const std::string& l : locators) out.push_back(Pnr(l, sine, "NAME" + l + "/TEST MR"));
  return out;
}

class QueueTaskTest : public ::testing::Test {
 protected:
  ProgramStart& Start(const std::string& scenario,
                      const std::vector<std::string>& tasks = {"ABC1,12,,MAP1.CSV,N,"},
                      const StartSettings& settings = StartSettings().NoFailQueue()) {
    dir_.Write("tasks.csv", TasksCsv(tasks));
    dir_.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE"}));
    start_ = std::make_unique<ProgramStart>(dir_.path(), scenario, false, settings);
    start_->LoadConfiguration();
    return *start_;
  }

  TempDir dir_;
  std::unique_ptr<ProgramStart> start_;
};

TEST_F(QueueTaskTest, FinishOrIgnoreRestartsTheTaskFiveTimesAtMost) {
  for (const int answers : {1, 1000}) {
    ProgramStart& p = Start(Scenario(PnrsOf({"AAA001"}), {{"ABC1/12", {"AAA001"}}}));
    p.tap->Intercept("Q/ABC1/12", {"FINISH OR IGNORE<CARRIAGE_RETURN/>"}, answers);
    p.MoveQueue();
    const std::vector<std::string> entries = p.tap->TakeEntries();
    const std::vector<std::string> head(entries.begin(), entries.begin() + 13);
    EXPECT_EQ(head,
              (std::vector<std::string>{"QX+I", "QX+I", "SEM/SU", "QCB/ABC1/12", "SEM/ABC1/AG",
                                        "QLD/ABC1/12/TS", "Q/ABC1/12", "I", "QX+I", "SEM/SU",
                                        "QCB/ABC1/12", "QLD/ABC1/12/TS", "Q/ABC1/12"}))
        << answers;
    if (answers == 1) {
      EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"AAA001"});
      continue;
    }
    // A host that keeps answering so cannot hold the run: the task is given up.
    EXPECT_EQ(Count(entries, "Q/ABC1/12"), 6);
    EXPECT_EQ(p.Queue("ABC1/12"), std::vector<std::string>{"AAA001"});
    EXPECT_TRUE(Has(p.RunLog(), "Q12: the host keeps answering FINISH OR IGNORE"));
  }
}

TEST_F(QueueTaskTest, NoBookingFileRestartsUntilTheCountIsPassed) {
  ProgramStart& p =
      Start(Scenario(PnrsOf({"AAA001", "BBB002"}), {{"ABC1/12", {"AAA001", "BBB002"}}}));
  // The first entry into the queue does not take: "*R" then finds no PNR.
  p.tap->Intercept("Q/ABC1/12", {"PLEASE WAIT<CARRIAGE_RETURN/>"});
  p.MoveQueue();
  EXPECT_EQ(p.Queue("P1/12"), (std::vector<std::string>{"AAA001", "BBB002"}));
  const std::vector<std::string> entries = p.tap->TakeEntries();
  // The wasted retrieval counts: count 2 allows three, so the queue ends by the count.
  EXPECT_EQ(Count(entries, "*R"), 3);
  EXPECT_EQ(Count(entries, "QCB/ABC1/12"), 2);
  EXPECT_EQ(entries.back(), "QX+I");
  EXPECT_EQ(entries[entries.size() - 2], "QEB/P1/12");
}

TEST_F(QueueTaskTest, EmptyQueueEndsAtNoBookingFileWithoutAnEntry) {
  ProgramStart& p = Start(Scenario({}, {{"ABC1/12", {}}}));
  p.MoveQueue();
  const std::vector<std::string> entries = p.tap->TakeEntries();
  const std::vector<std::string> tail(entries.end() - 3, entries.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"QLD/ABC1/12/TS", "Q/ABC1/12", "*R"}));
  EXPECT_TRUE(Has(p.Log("PNR_Queue_List_1.txt"),
                  "#### 2026/12/06 10:00:00 - List PNRs on Queue 12 in PCC ABC1 ####\r\n"
                  "--------------------------------------------\r\n"
                  "2026/12/06 10:00:00 - --------------------------------------------\r\n"));
}

TEST_F(QueueTaskTest, QueueEmptyEndsTheQueue) {
  ProgramStart& p =
      Start(Scenario(PnrsOf({"AAA001", "BBB002"}), {{"ABC1/12", {"AAA001", "BBB002"}}}));
  p.MoveQueue();
  const std::vector<std::string> entries = p.tap->TakeEntries();
  EXPECT_EQ(entries.back(), "*R");  // answered QUEUE EMPTY: no "QX+I"
  EXPECT_EQ(Count(entries, "*R"), 3);
  const std::string run = p.RunLog();
  EXPECT_TRUE(Has(run, "Q12. Start Retrieving...."));
  EXPECT_TRUE(Has(run, "Exit on Queue PCC 12 in PCC ABC1"));
  EXPECT_TRUE(Has(p.Log("action_log_1.txt"), "2026/12/06 10:00:00 - Q12. End Retrieving....\r\n"));
}

TEST_F(QueueTaskTest, TheCountLimitsTheRetrievals) {
  const std::vector<std::string> ten = Locators(10);
  ProgramStart& p = Start(Scenario(PnrsOf(ten), {{"ABC1/12", ten}}));
  p.tap->Rewrite("QCB/ABC1/12", {"QC ABC1 BF/Q012....3"});
  p.MoveQueue();
  EXPECT_EQ(p.Queue("P1/12").size(), 4u);  // count + 1
  EXPECT_EQ(p.Queue("ABC1/12").size(), 6u);
  EXPECT_EQ(p.tap->entries().back(), "QX+I");
}

TEST_F(QueueTaskTest, TheFirstUnmovedPnrComingRoundEndsTheQueue) {
  ProgramStart& p = Start(
      Scenario({Pnr("AAA001", "QQ", "A/A"), Pnr("BBB002", "XY", "B/B"), Pnr("CCC003", "QQ", "C/C")},
               {{"ABC1/12", {"AAA001", "BBB002", "CCC003"}}}));
  p.MoveQueue();
  EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"BBB002"});
  EXPECT_EQ(p.Queue("ABC1/12"), (std::vector<std::string>{"AAA001", "CCC003"}));
  EXPECT_EQ(p.form.intFailCount, 2);
  const std::vector<std::string> entries = p.tap->TakeEntries();
  EXPECT_EQ(Count(entries, "*R"), 4);
  EXPECT_EQ(entries.back(), "QX+I");
}

TEST_F(QueueTaskTest, StopRequestEndsTheRunAtTheNextPnr) {
  const std::vector<std::string> three = Locators(3);
  ProgramStart& p = Start(Scenario(PnrsOf(three), {{"ABC1/12", three}}), {"ABC1,12,,MAP1.CSV,N,"},
                          StartSettings().EmailEveryRun());
  // Window events run at the task's start, then twice per PNR (retrieved, before the move).
  p.StopAtDoEvents(3);
  p.MoveQueue();
  EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"P00001"});
  EXPECT_EQ(p.Queue("ABC1/12"), (std::vector<std::string>{"P00002", "P00003"}));
  EXPECT_EQ(p.tap->entries().back(), "QX+I");
  EXPECT_TRUE(Has(p.RunLog(), "Exit in PCC ABC1 on queue/category 12"));
  EXPECT_FALSE(Has(p.Log("action_log_1.txt"), "Q12. End Retrieving"));
  EXPECT_TRUE(p.mailers.sent().empty());  // no end-of-run mail
  EXPECT_FALSE(p.Log("action_log_1.txt").ends_with(" \r\n"));

  // A run that ends in order (the stop withdrawn): nothing went to the Fail Queue, so the mail
  // of every run says so, without the log attached.
  p.form.blnStopRequested = false;
  p.MoveQueue();
  ASSERT_EQ(p.mailers.sent().size(), 1u);
  const RecordedMail& mail = p.mailers.sent()[0];
  EXPECT_EQ(mail.subject, "2026/12/06:10:00:00 ABC1  PNR(s) not moved to Fail Queue - Ambervale");
  EXPECT_EQ(mail.text,
            "No PNRs have been moved to the Fail Queue.\r\n\r\nAmbervale\r\nSupport Team");
  EXPECT_TRUE(mail.attachments.empty());
}

TEST_F(QueueTaskTest, AFailedSignOnAtTheStartOfARunEndsTheProgram) {
  // Signed out since start-up, and the agent id is refused: at the start of the distribution
  // run, or of the return from the Fail Queue when that is due.
  for (const bool fail_queue_due : {false, true}) {
    StartSettings settings = fail_queue_due ? StartSettings() : StartSettings().NoFailQueue();
    settings.agent_id = "9999";
    ProgramStart& p = Start(Scenario(PnrsOf({"AAA001"}), {{"ABC1/12", {"AAA001"}}}, "{}", false),
                            {"ABC1,12,,MAP1.CSV,N,"}, settings);
    (void)p.tap->TakeEntries();
    try {
      p.MoveQueue();
      ADD_FAILURE() << "the program goes on";
    } catch (const ProgramEnded& end) {
      EXPECT_EQ(end.exit_code, 1) << fail_queue_due;
    }
    EXPECT_EQ(p.tap->TakeEntries(), (std::vector<std::string>{"QX+I", "SON/9999", "OP/W*"}))
        << fail_queue_due;
    ASSERT_EQ(p.mailers.sent().size(), 1u) << fail_queue_due;
    EXPECT_EQ(p.mailers.sent()[0].text, kLoginFailedMessage) << fail_queue_due;
    EXPECT_EQ(Has(p.RunLog(), "Login to Vantora Desktop Failed."), fail_queue_due);
    EXPECT_EQ(p.Queue("ABC1/12"), std::vector<std::string>{"AAA001"}) << fail_queue_due;
  }
}

TEST_F(QueueTaskTest, EmulationOncePerPccAndAgainAfterARefusal) {
  ProgramStart& p = Start(Scenario({Pnr("AAA001", "XY", "A/A"), Pnr("BBB002", "XY", "B/B"),
                                    Pnr("CCC003", "XY", "C/C"), Pnr("DDD004", "XY", "D/D")},
                                   {{"ABC1/12", {"AAA001"}},
                                    {"ABC1/14", {"BBB002"}},
                                    {"XYZ9/12", {"CCC003"}},
                                    {"XYZ9/14", {"DDD004"}}},
                                   "{}", true, {"XYZ9"}),
                          {"ABC1,12,,MAP1.CSV,N,", "ABC1,14,,MAP1.CSV,N,", "XYZ9,12,,MAP1.CSV,N,",
                           "XYZ9,14,,MAP1.CSV,N,"});
  p.MoveQueue();
  const std::vector<std::string>& entries = p.tap->entries();
  EXPECT_EQ(Count(entries, "SEM/ABC1/AG"), 1);
  EXPECT_EQ(Count(entries, "SEM/XYZ9/AG"), 2);
  EXPECT_EQ(p.Log("Failed_PNR_1.txt"),
            "##### 2026/12/06 10:00:00 Failed SEM action towards pseudo \"XYZ9\" #####\r\n"
            "##### 2026/12/06 10:00:00 Failed SEM action towards pseudo \"XYZ9\" #####\r\n");
  // The tasks went on all the same.
  EXPECT_EQ(p.Queue("P1/12"), (std::vector<std::string>{"AAA001", "BBB002", "CCC003", "DDD004"}));
}

TEST_F(QueueTaskTest, CategoryQueueIsCountedListedAndEntered) {
  ProgramStart& p =
      Start(Scenario(PnrsOf({"AAA001"}), {{"ABC1/12*C1", {"AAA001"}}, {"ABC1/12", {}}}),
            {"ABC1,12,C1,MAP1.CSV,N,"});
  p.MoveQueue();
  const std::vector<std::string> entries = p.tap->TakeEntries();
  EXPECT_EQ(Count(entries, "QCT/ABC1/12*C1"), 1);
  EXPECT_EQ(Count(entries, "QLD/ABC1/12*C1/TS"), 1);
  EXPECT_EQ(Count(entries, "Q/ABC1/12*C1"), 1);
  EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"AAA001"});
  EXPECT_TRUE(Has(p.Log("Success_PNR_1.txt"),
                  "AAA001 moved from Queue/Category 12/C1 to PCC P1 Queue 12 moved by SINE."));
  EXPECT_TRUE(Has(p.RunLog(), "AAA001: retrieved in ABC1/Q12*C1"));
}

TEST_F(QueueTaskTest, ListingOf250PnrsTakesThreeBlocks) {
  const std::vector<std::string> many = Locators(250);
  ProgramStart& p = Start(Scenario(PnrsOf(many), {{"ABC1/12", many}}));
  p.MoveQueue();
  const std::vector<std::string>& entries = p.tap->entries();
  const auto listing_end = std::find(entries.begin(), entries.end(), "Q/ABC1/12");
  const std::vector<std::string> listing(
      std::find(entries.begin(), entries.end(), "QLD/ABC1/12/TS"), listing_end);
  std::vector<std::string> expected = {"QLD/ABC1/12/TS", "QLD/ABC1/12/TS/1"};
  for (int i = 0; i < 6; ++i) expected.push_back("MR");
  expected.push_back("QLD/ABC1/12/TS/101");
  for (int i = 0; i < 6; ++i) expected.push_back("MR");
  expected.push_back("QLD/ABC1/12/TS/201");
  for (int i = 0; i < 3; ++i) expected.push_back("MR");
  EXPECT_EQ(listing, expected);

  const std::string list = p.Log("PNR_Queue_List_1.txt");
  for (const std::string& locator : many) {
    const size_t at = list.find(" " + locator + " ");
    ASSERT_NE(at, std::string::npos) << locator;
    EXPECT_EQ(list.find(" " + locator + " ", at + 1), std::string::npos) << locator;
  }
  EXPECT_TRUE(Has(list, "END OF DISPLAY"));
  EXPECT_EQ(p.Queue("P1/12").size(), 250u);
  EXPECT_EQ(p.form.intSuccessCount, 250);
}

TEST_F(QueueTaskTest, NoLocatorOnScreenEndsTheQueue) {
  ProgramStart& p = Start(Scenario({Pnr("AAA001", "QQ", "A/A"), Pnr("BBB002", "XY", "B/B")},
                                   {{"ABC1/12", {"AAA001", "BBB002"}}}));
  // AAA001 is left on the queue; then the locator display shows no PNR at all.
  p.tap->Intercept("*R", {"AAA001/QQ ABC1 06DEC<CARRIAGE_RETURN/>"});
  p.tap->Intercept("*R", {"SIGN IN<CARRIAGE_RETURN/>"});
  p.MoveQueue();
  const std::vector<std::string> entries = p.tap->TakeEntries();
  // No lookups for a PNR that is not there: the queue ends.
  EXPECT_EQ(Count(entries, "*P"), 1);
  EXPECT_EQ(entries.back(), "QX+I");
  EXPECT_EQ(p.form.intFailCount, 1);
  EXPECT_EQ(p.Queue("ABC1/12"), (std::vector<std::string>{"BBB002", "AAA001"}));
}

TEST_F(QueueTaskTest, ListingStopsWhenTheHostStopsPaging) {
  const std::vector<std::string> twenty = Locators(20);
  ProgramStart& p = Start(Scenario(PnrsOf(twenty), {{"ABC1/12", twenty}}));
  p.tap->Intercept("MR", {"NOTHING TO SCROLL<CARRIAGE_RETURN/>", "<CARRIAGE_RETURN/>"}, 1000);
  p.MoveQueue();
  EXPECT_EQ(Count(p.tap->entries(), "MR"), 1);
  EXPECT_EQ(p.Queue("P1/12").size(), 20u);
}

}  // namespace
}  // namespace ambervale

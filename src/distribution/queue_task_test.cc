// A default-mode task on the simulated host: counting, emulation, listing, entering, and the
// rules that end or restart the walk of a queue.

#include <gtest/gtest.h>

#include <cstdio>

#include "failqueue/fail_queue_return.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// `n` PNRs named P00001, P00002, ...
std::vector<std::string> Locators(int n) {
  std::vector<std::string> out;
  for (int i = 1; i <= n; ++i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "P%05d", i);
    out.emplace_back(buf);
  }
  return out;
}

// PNRs of agent XY (QQ has no agent).
std::vector<std::string> PnrsOf(const std::vector<std::string>& locators,
                                std::string_view sine = "XY") {
  std::vector<std::string> out;
  for (const std::string& l : locators) out.push_back(Pnr(l, sine, "NAME" + l + "/TEST MR"));
  return out;
}

class QueueTaskTest : public ::testing::Test {
 protected:
  // A fresh start without Fail Queue, XY's PNRs going to P1/12.
  TestProgram& Start(const std::string& scenario,
                     const std::vector<std::string>& tasks = {"ABC1,12,,MAP1.CSV,N,"}) {
    program_ = std::make_unique<TestProgram>();
    program_->dir.Write("tasks.csv", TasksCsv(tasks));
    program_->dir.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE"}));
    program_->Connect(scenario);
    program_->LoadConfiguration();
    program_->form.FailQueueActivated = false;
    return *program_;
  }

  std::unique_ptr<TestProgram> program_;
};

// How the walk of one queue ends (ABC1/12, count as the host shows it unless rewritten).
TEST_F(QueueTaskTest, TheWalkOfAQueueEndsByItsRules) {
  const std::vector<std::string> ten = Locators(10);
  const struct {
    const char* name;
    std::vector<std::string> pnrs;  // sine XY moves, QQ stays
    std::function<void(HostTap&)> script;
    size_t moved;
    size_t left;
    long retrievals;  // "*R"
    std::vector<std::string> last_entries;
  } kCases[] = {
      {"an empty queue at its NO B.F.", {}, [](HostTap&) {}, 0, 0, 1, {"Q/ABC1/12", "*R"}},
      {"QUEUE EMPTY after the last move",
       {"XY", "XY"},
       [](HostTap&) {},
       2,
       0,
       3,
       {"QEB/P1/12", "*R"}},
      // The wasted retrieval counts: count 2 allows three, so the queue ends by the count.
      {"a first entry that did not take restarts the task",
       {"XY", "XY"},
       [](HostTap& tap) { tap.Intercept("Q/ABC1/12", {"PLEASE WAIT<CARRIAGE_RETURN/>"}); },
       2,
       0,
       3,
       {"QEB/P1/12", "QX+I"}},
      {"count 3 takes count + 1",
       std::vector<std::string>(10, "XY"),
       [](HostTap& tap) { tap.Rewrite("QCB/ABC1/12", {"QC ABC1 BF/Q012....3"}); },
       4,
       6,
       4,
       {"QEB/P1/12", "QX+I"}},
      {"the first PNR left comes round",
       {"QQ", "XY", "QQ"},
       [](HostTap&) {},
       1,
       2,
       4,
       {"*R", "QX+I"}},
      // No lookups for a PNR that is not there.
      {"no locator on the screen",
       {"QQ", "XY"},
       [](HostTap& tap) {
         tap.Intercept("*R", {"P00001/QQ ABC1 06DEC<CARRIAGE_RETURN/>"});
         tap.Intercept("*R", {"SIGN IN<CARRIAGE_RETURN/>"});
       },
       0,
       2,
       2,
       {"I", "*R", "QX+I"}},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> pnrs;
    const std::vector<std::string> locators = Locators(static_cast<int>(c.pnrs.size()));
    for (size_t i = 0; i < c.pnrs.size(); ++i) {
      pnrs.push_back(Pnr(locators[i], c.pnrs[i], "N/N"));
    }
    TestProgram& p = Start(Scenario(pnrs, {{"ABC1/12", locators}}));
    c.script(*p.tap);
    p.MoveQueue();
    EXPECT_EQ(p.Queue("P1/12").size(), c.moved) << c.name;
    EXPECT_EQ(p.Queue("ABC1/12").size(), c.left) << c.name;
    EXPECT_EQ(p.tap->Count("*R"), c.retrievals) << c.name;
    const std::vector<std::string>& all = p.tap->entries();
    EXPECT_EQ(
        std::vector<std::string>(all.end() - static_cast<long>(c.last_entries.size()), all.end()),
        c.last_entries)
        << c.name;
  }
}

TEST_F(QueueTaskTest, FinishOrIgnoreRestartsTheTaskFiveTimesAtMost) {
  for (const int answers : {1, 1000}) {
    TestProgram& p = Start(Scenario(PnrsOf({"AAA001"}), {{"ABC1/12", {"AAA001"}}}));
    p.tap->Intercept("Q/ABC1/12", {"FINISH OR IGNORE<CARRIAGE_RETURN/>"}, answers);
    p.MoveQueue();
    const std::vector<std::string> entries = p.tap->TakeEntries();
    EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.begin() + 13),
              (std::vector<std::string>{"QX+I", "QX+I", "SEM/SU", "QCB/ABC1/12", "SEM/ABC1/AG",
                                        "QLD/ABC1/12/TS", "Q/ABC1/12", "I", "QX+I", "SEM/SU",
                                        "QCB/ABC1/12", "QLD/ABC1/12/TS", "Q/ABC1/12"}))
        << answers;
    // A host that keeps answering so cannot hold the run: the task is given up.
    EXPECT_EQ(p.tap->Count("Q/ABC1/12"), answers == 1 ? 2 : 6);
    EXPECT_EQ(p.Queue("P1/12").size(), answers == 1 ? 1u : 0u);
    EXPECT_EQ(Has(p.RunLog(), "Q12: the host keeps answering FINISH OR IGNORE"), answers != 1);
  }
}

// The entries of one PNR moved by its sine, from a queue without and with a category.
TEST_F(QueueTaskTest, OneSimplePnrTakesTheseEntries) {
  for (const std::string category : {"", "C1"}) {
    const std::string queue = category.empty() ? "12" : "12*" + category;
    TestProgram& p = Start(Scenario(PnrsOf({"AAA001"}), {{"ABC1/" + queue, {"AAA001"}}}),
                           {"ABC1,12," + category + ",MAP1.CSV,N,"});
    p.MoveQueue();
    EXPECT_EQ(p.tap->TakeEntries(),
              (std::vector<std::string>{
                  "QX+I", "QX+I", "SEM/SU", (category.empty() ? "QCB/ABC1/" : "QCT/ABC1/") + queue,
                  "SEM/ABC1/AG", "QLD/ABC1/" + queue + "/TS", "Q/ABC1/" + queue, "*R", "*P", "*DI",
                  "*CI", "*DI", "QPB*12", "QEB/P1/12", "*R"}))
        << queue;
    EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"AAA001"}) << queue;
    EXPECT_TRUE(Has(p.Log("Success_PNR_1.txt"),
                    "AAA001 moved from Queue" + std::string(category.empty() ? "" : "/Category") +
                        " 12" + (category.empty() ? "" : "/" + category) +
                        " to PCC P1 Queue 12 moved by SINE."))
        << queue;
    EXPECT_TRUE(Has(p.RunLog(), "AAA001: retrieved in ABC1/Q" + queue)) << queue;
  }
}

TEST_F(QueueTaskTest, StopRequestEndsTheRunAtTheNextPnr) {
  const std::vector<std::string> three = Locators(3);
  TestProgram& p = Start(Scenario(PnrsOf(three), {{"ABC1/12", three}}));
  p.form.SendEmailAfterEveryIteration = true;
  p.form.FailQueueActivated = true;
  // Window events run at the task's start, then twice per PNR (retrieved, before the move).
  p.StopAtDoEvents(3);
  p.MoveQueue();
  EXPECT_EQ(p.Queue("ABC1/12"), (std::vector<std::string>{"P00002", "P00003"}));
  EXPECT_EQ(p.tap->entries().back(), "QX+I");
  EXPECT_TRUE(Has(p.RunLog(), "Exit in PCC ABC1 on queue/category 12"));
  const std::string action = p.Log("action_log_1.txt");
  EXPECT_FALSE(Has(action, "Q12. End Retrieving"));
  EXPECT_FALSE(action.ends_with(" \r\n"));
  EXPECT_TRUE(p.mailers.sent().empty());  // no end-of-run mail

  // A run that ends in order: nothing went to the Fail Queue, so the mail of every run says
  // so, without the log attached.
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
  // Signed out after start-up, and the agent id is refused: at the start of the distribution
  // run, or of the return from the Fail Queue when that is due.
  for (const bool fail_queue_due : {false, true}) {
    TestProgram& p =
        Start(Scenario(PnrsOf({"AAA001"}), {{"ABC1/12", {"AAA001"}}}, R"({"sign_out_after": 2})"));
    p.form.FailQueueActivated = fail_queue_due;
    p.form.strAgentID = "9999";
    EXPECT_EQ(p.MoveQueue(), 1) << fail_queue_due;
    EXPECT_EQ(p.tap->TakeEntries(), (std::vector<std::string>{"QX+I", "SON/9999", "OP/W*"}))
        << fail_queue_due;
    ASSERT_EQ(p.mailers.sent().size(), 1u) << fail_queue_due;
    EXPECT_EQ(p.mailers.sent()[0].text, kLoginFailedMessage) << fail_queue_due;
    EXPECT_EQ(Has(p.RunLog(), "Login to Vantora Desktop Failed."), fail_queue_due);
    EXPECT_EQ(p.Queue("ABC1/12"), std::vector<std::string>{"AAA001"}) << fail_queue_due;
  }
}

TEST_F(QueueTaskTest, EmulationOncePerPccAndAgainAfterARefusal) {
  TestProgram& p = Start(Scenario(PnrsOf({"AAA001", "BBB002", "CCC003", "DDD004"}),
                                  {{"ABC1/12", {"AAA001"}},
                                   {"ABC1/14", {"BBB002"}},
                                   {"XYZ9/12", {"CCC003"}},
                                   {"XYZ9/14", {"DDD004"}}},
                                  "{}", true, {"XYZ9"}),
                         {"ABC1,12,,MAP1.CSV,N,", "ABC1,14,,MAP1.CSV,N,", "XYZ9,12,,MAP1.CSV,N,",
                          "XYZ9,14,,MAP1.CSV,N,"});
  p.MoveQueue();
  EXPECT_EQ(p.tap->Count("SEM/ABC1/AG"), 1);
  EXPECT_EQ(p.tap->Count("SEM/XYZ9/AG"), 2);
  EXPECT_EQ(p.Log("Failed_PNR_1.txt"),
            "##### 2026/12/06 10:00:00 Failed SEM action towards pseudo \"XYZ9\" #####\r\n"
            "##### 2026/12/06 10:00:00 Failed SEM action towards pseudo \"XYZ9\" #####\r\n");
  // The tasks went on all the same.
  EXPECT_EQ(p.Queue("P1/12"), (std::vector<std::string>{"AAA001", "BBB002", "CCC003", "DDD004"}));
}

TEST_F(QueueTaskTest, TheListingPagesBlocksOfAHundredUntilTheHostStops) {
  const std::vector<std::string> many = Locators(250);
  TestProgram& p = Start(Scenario(PnrsOf(many), {{"ABC1/12", many}}));
  p.MoveQueue();
  const std::vector<std::string>& entries = p.tap->entries();
  std::vector<std::string> expected = {"QLD/ABC1/12/TS", "QLD/ABC1/12/TS/1"};
  for (const char* block : {"QLD/ABC1/12/TS/101", "QLD/ABC1/12/TS/201", ""}) {
    for (int i = 0; i < (*block ? 6 : 3); ++i) expected.push_back("MR");
    if (*block) expected.push_back(block);
  }
  EXPECT_EQ(std::vector<std::string>(std::find(entries.begin(), entries.end(), "QLD/ABC1/12/TS"),
                                     std::find(entries.begin(), entries.end(), "Q/ABC1/12")),
            expected);
  const std::string list = p.Log("PNR_Queue_List_1.txt");
  for (const std::string& locator : many) {
    const size_t at = list.find(" " + locator + " ");
    ASSERT_NE(at, std::string::npos) << locator;
    EXPECT_EQ(list.find(" " + locator + " ", at + 1), std::string::npos) << locator;
  }
  EXPECT_EQ(p.Queue("P1/12").size(), 250u);

  // A host that stops paging ends the listing; the run goes on.
  const std::vector<std::string> twenty = Locators(20);
  TestProgram& q = Start(Scenario(PnrsOf(twenty), {{"ABC1/12", twenty}}));
  q.tap->Intercept("MR", {"NOTHING TO SCROLL<CARRIAGE_RETURN/>", "<CARRIAGE_RETURN/>"}, 1000);
  q.MoveQueue();
  EXPECT_EQ(q.tap->Count("MR"), 1);
  EXPECT_EQ(q.Queue("P1/12").size(), 20u);
}

}  // namespace
}  // namespace ambervale::testing

#include <gtest/gtest.h>

#include "sim/sim_test_util.h"

namespace ambervale::sim {
namespace {

using testing::Cr;
using testing::SimWorld;
using Lines = std::vector<std::string>;

const Lines kSmith = Cr({"ABC123/XY ABC1 06DEC", "1.1SMITH/JOHN MR", ""});
const Lines kJones = Cr({"DEF456/QR ABC1 06DEC", "1.1JONES/ANN MRS", ""});

Lines Queue(const SimWorld& w, std::string_view key) {
  const auto* queue = w.world().queues.Find(key);
  return queue == nullptr ? Lines{} : *queue;
}

class QueueModeTest : public ::testing::Test {
 protected:
  void SetUp() override { w.SignOn(); }
  SimWorld w;
};

TEST_F(QueueModeTest, EnteringAQueueShowsItsFirstPnr) {
  EXPECT_EQ(w.Enter("*R"), Cr({"NO B.F."}));
  EXPECT_EQ(w.Enter("Q/ABC1/12"), kSmith);
  EXPECT_EQ(w.Enter("*R"), kSmith);
  // The locator line has its first "/" at character 7 and the sine at 8 and 9.
  EXPECT_EQ(kSmith[0].find('/'), 6u);
  EXPECT_EQ(kSmith[0].substr(7, 2), "XY");
  EXPECT_EQ(w.Enter("Q/ABC1/012*C1")[0], Cr("GHI789/   ABC1 06DEC"));
}

TEST_F(QueueModeTest, EmptyQueueLeavesQueueMode) {
  w.Enter("Q/ABC1/12");
  EXPECT_EQ(w.Enter("Q/ABC1/0"), Cr({"QUEUE EMPTY"}));
  EXPECT_EQ(w.Enter("QX+I"), Cr({"NOT IN QUEUE MODE"}));
  EXPECT_EQ(w.Enter("Q/ABC1/12*C9"), Cr({"QUEUE EMPTY"}));
}

TEST_F(QueueModeTest, BadQueueAddresses) {
  EXPECT_EQ(w.Enter("Q/ABC1/100"), Cr({"INVALID QUEUE - ABC1/100"}));
  EXPECT_EQ(w.Enter("Q/NOPE/1"), Cr({"INVALID QUEUE - NOPE/1"}));
  EXPECT_EQ(w.Enter("Q/ABC1/X"), Cr({"FORMAT"}));
  EXPECT_EQ(w.Enter("Q/ABC1"), Cr({"FORMAT"}));
}

TEST_F(QueueModeTest, PendingChangesBlockEnteringAQueue) {
  w.Enter("Q/ABC1/12");
  w.Enter("NP.REMARK");
  EXPECT_EQ(w.Enter("Q/DEF3/7"), Cr({"FINISH OR IGNORE"}));
  EXPECT_EQ(w.Enter("*R"), kSmith);  // nothing else changed
  w.Enter("IR");
  EXPECT_EQ(w.Enter("Q/DEF3/7")[0], Cr("JKL012/AB DEF3 06DEC"));
}

TEST_F(QueueModeTest, IgnoreSendsTheShownPnrToTheBack) {
  EXPECT_EQ(w.Enter("I"), Cr({"IGD"}));
  w.Enter("Q/ABC1/12");
  w.Enter("NP.REMARK");
  EXPECT_EQ(w.Enter("I"), kJones);
  EXPECT_EQ(Queue(w, "ABC1/12"), (Lines{"DEF456", "ABC123"}));
  EXPECT_EQ(w.Enter("I"), kSmith);
  EXPECT_EQ(Queue(w, "ABC1/12"), (Lines{"ABC123", "DEF456"}));
  EXPECT_TRUE(w.world().pnrs.Find("ABC123")->notepad.empty());
}

TEST_F(QueueModeTest, IgnoreOnAOnePnrQueueShowsItAgain) {
  w.Enter("Q/ABC1/12*C1");
  EXPECT_EQ(w.Enter("I")[0], Cr("GHI789/   ABC1 06DEC"));
}

TEST_F(QueueModeTest, EndNeedsReceivedFromOnlyForChanges) {
  w.Enter("Q/ABC1/12");
  EXPECT_EQ(w.Enter("ER"), kSmith);  // nothing pending
  EXPECT_EQ(w.Enter("R.AGENT"), Cr({"*"}));
  EXPECT_EQ(w.Enter("ER"), kSmith);
  EXPECT_TRUE(w.world().pnrs.Find("ABC123")->received_from.empty());

  w.Enter("NP.FIRST");
  EXPECT_EQ(w.Enter("ER"), Cr({"NEED RECEIVED FROM"}));
  w.Enter("R.AGENT");
  EXPECT_EQ(w.Enter("ER"), kSmith);
  const Pnr& pnr = *w.world().pnrs.Find("ABC123");
  EXPECT_EQ(pnr.notepad, Lines{"FIRST"});
  EXPECT_EQ(pnr.received_from, Lines{"AGENT"});
  // ER cleared the received-from text: a new change needs a new one.
  w.Enter("NP.SECOND");
  EXPECT_EQ(w.Enter("ER"), Cr({"NEED RECEIVED FROM"}));
}

TEST_F(QueueModeTest, IgnoreAndRedisplayDropsChanges) {
  w.Enter("Q/ABC1/12");
  w.Enter("NP.REMARK");
  w.Enter("T.T@AU/10DEC");
  w.Enter("R.AGENT");
  EXPECT_EQ(w.Enter("IR"), kSmith);
  EXPECT_EQ(w.Enter("*TD")[0], Cr("TKTG-TAU/XX04DEC*NOTE"));
  EXPECT_EQ(w.Enter("ER"), kSmith);
  EXPECT_TRUE(w.world().pnrs.Find("ABC123")->notepad.empty());
}

TEST_F(QueueModeTest, BannerNamesTheWorkedQueuesPcc) {
  EXPECT_EQ(w.Enter("QPB*12"), Cr({"QPBQUEUE 012" + std::string(15, ' ')}));
  w.Enter("SEM/DEF3/AG");
  EXPECT_EQ(w.Enter("QPB*12"), Cr({"QPBQUEUE 012 DEF3" + std::string(10, ' ')}));
  w.Enter("Q/ABC1/12");
  EXPECT_EQ(w.Enter("QPB*7"), Cr({"QPBQUEUE 007 ABC1" + std::string(10, ' ')}));
  EXPECT_EQ(w.Enter("QPB*X"), Cr({"FORMAT"}));
  EXPECT_EQ(w.Enter("QPB*100"), Cr({"FORMAT"}));
  EXPECT_EQ(w.Enter("QPB*007"), Cr({"QPBQUEUE 007 ABC1" + std::string(10, ' ')}));
}

TEST_F(QueueModeTest, PlaceChecksInOrder) {
  EXPECT_EQ(w.Enter("QEB/ABC1/5"), Cr({"NOT IN QUEUE MODE"}));
  w.Enter("Q/ABC1/12");
  w.Enter("NP.REMARK");
  const struct {
    const char* entry;
    const char* line;
  } kCases[] = {
      {"QEB/", "FORMAT"},
      {"QEB/ABC1/5+", "FORMAT"},
      {"QEB/NOPE/5", "NEED RECEIVED FROM"},  // before the destinations are checked
  };
  for (const auto& c : kCases) EXPECT_EQ(w.Enter(c.entry), Cr({c.line})) << c.entry;
  w.Enter("R.AGENT");
  const struct {
    const char* entry;
    const char* line;
  } kBad[] = {
      {"QEB/ABC1/5+NOPE/3", "INVALID QUEUE - NOPE/3"}, {"QEB/ABC1/100", "INVALID QUEUE - ABC1/100"},
      {"QEB/ABC1/X+NOPE/1", "INVALID QUEUE - ABC1/X"}, {"QEB/ABC1", "INVALID QUEUE - ABC1"},
      {"QEB/ABC1/5/6", "INVALID QUEUE - ABC1/5/6"},    {"QEB/ABC1/5*", "INVALID QUEUE - ABC1/5*"},
  };
  for (const auto& c : kBad) EXPECT_EQ(w.Enter(c.entry), Cr({c.line})) << c.entry;
  // Nothing changed: the PNR is still shown with its pending change.
  EXPECT_EQ(Queue(w, "ABC1/12"), (Lines{"ABC123", "DEF456"}));
  EXPECT_EQ(w.Enter("Q/ABC1/12"), Cr({"FINISH OR IGNORE"}));
}

TEST_F(QueueModeTest, PlaceMovesCommitsAndShowsTheNext) {
  w.Enter("Q/ABC1/12");
  w.Enter("NP.MOVED BY TEST");
  w.Enter("R.AGENT");
  const Lines answer = w.Enter("QEB/ABC1/5*C2+DEF3/7");
  EXPECT_EQ(answer, Cr({"ON QUEUE- ABC123 ABC1/5*C2+DEF3/7", "QUEUE 012 ABC1          ",
                        "DEF456/QR ABC1 06DEC", "1.1JONES/ANN MRS", ""}));
  EXPECT_EQ(Queue(w, "ABC1/12"), Lines{"DEF456"});
  EXPECT_EQ(Queue(w, "ABC1/5*C2"), Lines{"ABC123"});
  EXPECT_EQ(Queue(w, "DEF3/7"), (Lines{"JKL012", "ABC123"}));
  const Pnr& pnr = *w.world().pnrs.Find("ABC123");
  EXPECT_EQ(pnr.notepad, Lines{"MOVED BY TEST"});
  EXPECT_EQ(pnr.received_from, Lines{"AGENT"});
  // The received-from text went with the move.
  w.Enter("NP.AGAIN");
  EXPECT_EQ(w.Enter("QEB/ABC1/5"), Cr({"NEED RECEIVED FROM"}));
}

TEST_F(QueueModeTest, PlacingOnTheWorkedQueuePutsThePnrAtTheBack) {
  w.Enter("Q/ABC1/12");
  EXPECT_EQ(w.Enter("QEB/ABC1/12+ABC1/12")[2], Cr("DEF456/QR ABC1 06DEC"));
  EXPECT_EQ(Queue(w, "ABC1/12"), (Lines{"DEF456", "ABC123"}));
}

TEST_F(QueueModeTest, AfterTheLastMoveTheQueueStaysEmptyInQueueMode) {
  w.Enter("Q/ABC1/12*C1");
  EXPECT_EQ(w.Enter("QEB/ABC1/3"),
            Cr({"ON QUEUE- GHI789 ABC1/3", "QUEUE 012 ABC1          ", "QUEUE EMPTY"}));
  for (const char* entry : {"*R", "IR", "ER", "I"}) {
    EXPECT_EQ(w.Enter(entry), Cr({"QUEUE EMPTY"})) << entry;
  }
  for (const char* entry :
       {"*P", "*DI", "*CI", "*TD", "NP.X", "R.X", "T.T@AU/01JAN", "QEB/ABC1/4"}) {
    EXPECT_EQ(w.Enter(entry), Cr({"NO B.F."})) << entry;
  }
  EXPECT_EQ(w.Enter("QX+I"), Cr({"QUEUE MODE EXITED"}));
}

TEST_F(QueueModeTest, IgnoreShowsWhatWasPlacedOnTheEmptiedQueue) {
  w.Enter("SEM/ABC1/AG");
  w.Enter("Q/ABC1/12*C1");
  w.Enter("QEB/ABC1/3");
  // An unticketed listing queues ABC123 and DEF456 onto the worked queue.
  EXPECT_EQ(w.Enter("LD/ABC1/UTK/01DEC*08DEC-Q/ABC1/12*C1"),
            Cr({"002 BOOKING FILES ON QUEUE 12*C1"}));
  EXPECT_EQ(w.Enter("I")[0], Cr("ABC123/XY ABC1 06DEC"));
}

}  // namespace
}  // namespace ambervale::sim

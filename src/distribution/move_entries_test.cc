#include "distribution/move_entries.h"

#include <gtest/gtest.h>

namespace ambervale {
namespace {

clsAgentQueue Agent(std::string pcc, int16_t queue, std::string category = "") {
  clsAgentQueue a;
  a.fldDestPCC = std::move(pcc);
  a.fldQueueNo = queue;
  a.fldCatagory = std::move(category);
  return a;
}

TEST(MoveEntriesTest, DestinationsAndTheMoveEntry) {
  const struct {
    const char* name;
    std::vector<clsAgentQueue> found;
    const char* entry;
    const char* list;
    const char* failure_text;  // DestinationLine(found, false)
    const char* success_text;  // DestinationLine(found, true)
  } kCases[] = {
      {"one", {Agent("P1", 12)}, "QEB/P1/12", "P1 Queue 12\r\n", "P1 Queue 12\r\n", "P1 Queue 12"},
      {"two",
       {Agent("P1", 12, "3"), Agent("P2", 5)},
       "QEB/P1/12*3+P2/5",
       "P1 Queue 12 Category 3\r\nP2 Queue 5\r\n",
       "P1 Queue 12 Category 3, P2 Queue 5\r\n",
       "P1 Queue 12 Category 3, P2 Queue 5"},
      {"three",
       {Agent("P1", 12), Agent("P2", 5, "C1"), Agent("P3", 0)},
       "QEB/P1/12+P2/5*C1+P3/0",
       "P1 Queue 12\r\nP2 Queue 5 Category C1\r\nP3 Queue 0\r\n",
       "P1 Queue 12, P2 Queue 5 Category C1, P3 Queue 0\r\n",
       "P1 Queue 12, P2 Queue 5 Category C1, P3 Queue 0"},
      {"none", {}, "QEB/", "", "", ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(BuildMoveEntry(c.found), c.entry) << c.name;
    EXPECT_EQ(BuildDestinationList(c.found), c.list) << c.name;
    EXPECT_EQ(DestinationLine(c.found, false), c.failure_text) << c.name;
    EXPECT_EQ(DestinationLine(c.found, true), c.success_text) << c.name;
  }
}

TEST(MoveEntriesTest, ReferenceTextIsTheBanner) {
  EXPECT_EQ(ReferenceText("QPBQUEUE 012 ABC1          \r\n"), "QUEUE 012 ABC1");
  EXPECT_EQ(ReferenceText("QPB                        \r\n"), "");
  EXPECT_EQ(ReferenceText("QP"), "");
}

}  // namespace
}  // namespace ambervale

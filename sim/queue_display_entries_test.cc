#include <gtest/gtest.h>

#include "platform/classic_text.h"
#include "sim/sim_test_util.h"

namespace ambervale::sim {
namespace {

using testing::Cr;
using testing::ScenarioWithQueueOf;
using testing::ScreenText;
using testing::SimWorld;
using Lines = std::vector<std::string>;

// The entry offered on the line holding `find`, read the way the program reads it: line
// breaks and full stops removed, the text from character 26 on, trimmed, without its last
// character (the field mark).
std::string SuggestedEntry(const Lines& lines, std::string_view find) {
  for (const std::string& line : lines) {
    std::string text = ScreenText({line});
    if (!Contains(text, find)) continue;
    text = Replace(Replace(text, "\r\n", ""), ".", "");
    const std::string entry = Trim(Mid(text, 26));
    return Left(entry, static_cast<int>(entry.size()) - 1);
  }
  return "";
}

// The count the program reads from a QCB display: five characters 7 after the marker.
int CountAfterMarker(const std::string& screen, std::string_view marker) {
  const int p = InStrNoCase(screen, marker);
  if (p == 0) return -1;
  return std::stoi(Replace(Mid(screen, p + 7, 5), ".", ""));
}

TEST(QueueCountTest, WithoutCategory) {
  SimWorld w(ScenarioWithQueueOf(3));
  const struct {
    const char* entry;
    Lines lines;
  } kCases[] = {
      {"QCB/ABC1/12", {"QC ABC1 BF/Q012....3"}},
      {"QCB/ABC1/012", {"QC ABC1 BF/Q012....3"}},
      {"QCB/ABC1/0", {"QC ABC1 BF/URG ....0"}},
      {"QCB/ABC1/1", {"QC ABC1 BF/GEN ....0"}},
      {"QCB/ABC1/2", {"QC ABC1 BF/Q002....0"}},
      {"QCB/ABC1/99", {"QC ABC1 BF/Q099....0"}},
      {"QCB/ABC1/100", Cr({"INVALID QUEUE - ABC1/100"})},
      {"QCB/NOPE/12", Cr({"INVALID QUEUE - NOPE/12"})},
      {"QCB/ABC1/X1", Cr({"FORMAT"})},
      {"QCB/ABC1/", Cr({"FORMAT"})},
      {"QCB/ABC1/12*C1", Cr({"FORMAT"})},
      {"QCB/ABC1", Cr({"FORMAT"})},
  };
  for (const auto& c : kCases) EXPECT_EQ(w.Enter(c.entry), c.lines) << c.entry;
}

TEST(QueueCountTest, TheProgramFindsTheCountSevenAfterTheMarker) {
  SimWorld w(ScenarioWithQueueOf(12));
  EXPECT_EQ(CountAfterMarker(w.Enter("QCB/ABC1/12")[0], "BF/Q"), 12);
  EXPECT_EQ(CountAfterMarker(w.Enter("QCB/ABC1/0")[0], "BF/URG"), 0);
  EXPECT_EQ(CountAfterMarker(w.Enter("QCB/ABC1/1")[0], "BF/GEN"), 0);
}

TEST(QueueCountTest, WithCategoryCountsOnlyThatCategory) {
  SimWorld w;
  w.SignOn();
  const struct {
    const char* entry;
    Lines lines;
  } kCases[] = {
      {"QCT/ABC1/12*C1", {"Q012/C1.......1"}},
      {"QCT/ABC1/5*C9", {"Q005/C9.......0"}},
      {"QCT/ABC1/12", Cr({"FORMAT"})},
      {"QCT/XYZ9/12*C1", Cr({"INVALID QUEUE - XYZ9/12*C1"})},
      {"QCT/ABC1/120*C1", Cr({"INVALID QUEUE - ABC1/120*C1"})},
  };
  for (const auto& c : kCases) EXPECT_EQ(w.Enter(c.entry), c.lines) << c.entry;
  EXPECT_EQ(w.Enter("QCB/ABC1/12"), Lines{"QC ABC1 BF/Q012....2"});
}

TEST(QueueListTest, EmptyQueueAndAShortList) {
  SimWorld w;
  w.SignOn();
  EXPECT_EQ(w.Enter("QLD/ABC1/0/TS"), Cr({"NO BOOKING FILES ON QUEUE"}));
  EXPECT_EQ(w.Enter("QLD/ABC1/33/TS"), Cr({"NO BOOKING FILES ON QUEUE"}));
  EXPECT_EQ(w.Enter("QLD/ABC1/12/TS"),
            Cr({"QUEUE 12 ABC1   SURNAME        DATE", " 001 ABC123 SMITH/JOHN",
                " 002 DEF456 JONES/ANN", "END OF DISPLAY"}));
  EXPECT_EQ(w.Enter("QLD/ABC1/12*C1/TS"), Cr({"QUEUE 12*C1 ABC1   SURNAME        DATE",
                                              " 001 GHI789 BROWN/TOM", "END OF DISPLAY"}));
  EXPECT_EQ(w.Enter("MR"), Cr({"NOTHING TO SCROLL", ""}));
}

TEST(QueueListTest, BadAddresses) {
  SimWorld w;
  w.SignOn();
  const struct {
    const char* entry;
    const char* line;
  } kCases[] = {
      {"QLD/ABC1/12", "FORMAT"},
      {"QLD/ABC1/12/XX", "FORMAT"},
      {"QLD/ABC1/AB/TS", "FORMAT"},
      {"QLD/ABC1/12/TS/0", "FORMAT"},
      {"QLD/ABC1/12/TS/X", "FORMAT"},
      {"QLD/NOPE/12/TS", "INVALID QUEUE - NOPE/12"},
      {"QLD/ABC1/100/TS", "INVALID QUEUE - ABC1/100"},
  };
  for (const auto& c : kCases) EXPECT_EQ(w.Enter(c.entry), Cr({c.line})) << c.entry;
}

TEST(QueueListTest, FifteenPnrsAPageWithTheHeaderOnTheFirst) {
  SimWorld w(ScenarioWithQueueOf(31));
  const Lines first = w.Enter("QLD/ABC1/12/TS");
  ASSERT_EQ(first.size(), 16u);
  EXPECT_EQ(first[0], Cr("QUEUE 12 ABC1   SURNAME        DATE"));
  EXPECT_EQ(first[1], Cr(" 001 P00001 NAME1/TEST"));
  EXPECT_EQ(first[15], Cr(" 015 P00015 NAME15/TEST"));
  const Lines second = w.Enter("MR");
  ASSERT_EQ(second.size(), 15u);
  EXPECT_EQ(second[0], Cr(" 016 P00016 NAME16/TEST"));
  EXPECT_EQ(w.Enter("MR"), Cr({" 031 P00031 NAME31/TEST", "END OF DISPLAY"}));
  EXPECT_EQ(w.Enter("MR"), Cr({"NOTHING TO SCROLL", ""}));
}

TEST(QueueListTest, ExactlyOnePageEndsOnIt) {
  SimWorld w(ScenarioWithQueueOf(15));
  const Lines page = w.Enter("QLD/ABC1/12/TS");
  ASSERT_EQ(page.size(), 17u);
  EXPECT_EQ(page.back(), Cr("END OF DISPLAY"));
}

TEST(QueueListTest, OtherEntriesKeepThePagesAndANewListingReplacesThem) {
  SimWorld w(ScenarioWithQueueOf(20));
  w.Enter("QLD/ABC1/12/TS");
  w.Enter("QCB/ABC1/12");
  EXPECT_EQ(w.Enter("MR")[0], Cr(" 016 P00016 NAME16/TEST"));
  w.Enter("QLD/ABC1/12/TS");
  w.Enter("QLD/ABC1/3/TS");
  EXPECT_EQ(w.Enter("MR"), Cr({"NOTHING TO SCROLL", ""}));
}

TEST(QueueListTest, OverAHundredOffersTheFirstBlock) {
  SimWorld w(ScenarioWithQueueOf(101));
  const Lines offer = w.Enter("QLD/ABC1/12/TS");
  ASSERT_EQ(offer.size(), 1u);
  EXPECT_EQ(offer[0], "TO SEE THE FIRST 100 BFS QLD/ABC1/12/TS/1<TABSTOP/><CARRIAGE_RETURN/>");
  EXPECT_EQ(SuggestedEntry(offer, "TO SEE THE FIRST 100 BFS"), "QLD/ABC1/12/TS/1");
  EXPECT_EQ(ScreenText(offer).find("QLD/"), 25u);  // character 26, 1-based
}

TEST(QueueListTest, BlocksOfAHundredChainToTheEnd) {
  SimWorld w(ScenarioWithQueueOf(250));
  std::vector<Lines> pages = {w.Enter("QLD/ABC1/12/TS/1")};
  while (pages.size() < 7) pages.push_back(w.Enter("MR"));
  EXPECT_EQ(pages[0][0], Cr("QUEUE 12 ABC1   SURNAME        DATE"));
  EXPECT_EQ(pages[6].size(), 11u);  // PNRs 91-100 and the offer of the next block
  EXPECT_EQ(pages[6][9], Cr(" 100 P00100 NAME100/TEST"));
  EXPECT_EQ(pages[6][10],
            "TO SEE THE NEXT 100 BFS  QLD/ABC1/12/TS/101<TABSTOP/><CARRIAGE_RETURN/>");
  EXPECT_EQ(SuggestedEntry(pages[6], "TO SEE THE NEXT 100 BFS"), "QLD/ABC1/12/TS/101");

  const Lines block2 = w.Enter("QLD/ABC1/12/TS/101");
  EXPECT_EQ(block2[0], Cr("QUEUE 12 ABC1   SURNAME        DATE"));
  EXPECT_EQ(block2[1], Cr(" 101 P00101 NAME101/TEST"));

  const Lines block3 = w.Enter("QLD/ABC1/12/TS/201");
  EXPECT_EQ(block3[1], Cr(" 201 P00201 NAME201/TEST"));
  Lines last = block3;
  for (int i = 0; i < 3; ++i) last = w.Enter("MR");
  EXPECT_EQ(last.back(), Cr("END OF DISPLAY"));
  EXPECT_EQ(last[last.size() - 2], Cr(" 250 P00250 NAME250/TEST"));

  EXPECT_EQ(w.Enter("QLD/ABC1/12/TS/251"), Cr({"END OF DISPLAY"}));
}

// The program's listing walk: the first-100 offer, then every block with MR until the next
// offer or the end. Every PNR must be seen once, in queue order.
TEST(QueueListTest, TheProgramsWalkSeesEveryPnrOnce) {
  for (const int size : {1, 15, 16, 100, 101, 115, 200, 201, 333}) {
    SimWorld w(ScenarioWithQueueOf(size));
    std::vector<std::string> seen;
    const auto collect = [&](const Lines& lines) {
      for (const std::string& line : lines) {
        if (line.size() > 11 && line[0] == ' ' && line[5] == 'P') seen.push_back(line.substr(5, 6));
      }
    };
    Lines screen = w.Enter("QLD/ABC1/12/TS");
    std::string text = ScreenText(screen);
    if (!Contains(text, "TO SEE THE FIRST 100 BFS")) {
      collect(screen);
      while (!Contains(text, "END OF DISPLAY")) {
        screen = w.Enter("MR");
        text = ScreenText(screen);
        collect(screen);
      }
    } else {
      std::string next = SuggestedEntry(screen, "TO SEE THE FIRST 100 BFS");
      int guard = 0;
      while (!Contains(text, "END OF DISPLAY") && !next.empty() && ++guard < 100) {
        screen = w.Enter(next);
        text = ScreenText(screen);
        collect(screen);
        while (!Contains(text, "END OF DISPLAY") && !Contains(text, "TO SEE THE NEXT 100 BFS")) {
          screen = w.Enter("MR");
          text = ScreenText(screen);
          collect(screen);
        }
        next = SuggestedEntry(screen, "TO SEE THE NEXT 100 BFS");
      }
    }
    ASSERT_EQ(seen.size(), static_cast<size_t>(size)) << size;
    for (int n = 1; n <= size; ++n) {
      EXPECT_EQ(seen[static_cast<size_t>(n - 1)],
                "P" + std::string(5 - std::to_string(n).size(), '0') + std::to_string(n));
    }
  }
}

}  // namespace
}  // namespace ambervale::sim

#include "host/queue_count.h"

#include <gtest/gtest.h>

namespace ambervale {
namespace {

TEST(ReadQueueCountTest, ReadsTheCountField) {
  const struct {
    const char* screen;
    int16_t queue;
    const char* category;
    int32_t count;
  } kCases[] = {
      {"QC AB12 BF/Q01212345", 12, "", 12345},
      {"QC AB12 BF/GEN ....7", 1, "", 7},
      {"QC AB12 BF/URG ....4", 0, "", 4},
      {"qc ab12 bf/q012....3", 12, "", 3},                // the marker is found ignoring case
      {"QC AB12 BF/GEN ....7", 12, "", 0},                // no marker: queue 12 looks for BF/Q
      {"QC AB12 BF/Q012", 12, "", 0},                     // short display: no number
      {"Q010/CAB......42", 10, "CAB", 42},                // three-letter category
      {"Q010/c1.......3", 10, "C1", 3},                   // category found ignoring case
      {"Q010/C1.......3\r\nMORE TEXT\r\n", 10, "C1", 3},  // the field ends with the line
      {"Q010/C2.......3", 10, "C1", 0},                   // other category
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ReadQueueCount(c.screen, c.queue, c.category), c.count)
        << c.screen << " / " << c.queue << " / " << c.category;
  }
}

}  // namespace
}  // namespace ambervale

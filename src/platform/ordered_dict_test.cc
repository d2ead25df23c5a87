#include "platform/ordered_dict.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ambervale {
namespace {

TEST(OrderedDictTest, KeepsInsertionOrderAndExactKeys) {
  OrderedDict<int> d;
  d.GetOrAdd("b") = 1;
  d.GetOrAdd("a") = 2;
  EXPECT_FALSE(d.Add("b", 9));
  EXPECT_TRUE(d.Add("B", 3));  // keys compare case-sensitively
  d.GetOrAdd("a") += 10;
  std::vector<std::string> keys;
  for (const auto& [k, v] : d) keys.push_back(k + "=" + std::to_string(v));
  EXPECT_EQ(keys, (std::vector<std::string>{"b=1", "a=12", "B=3"}));
  ASSERT_NE(d.Find("B"), nullptr);
  EXPECT_EQ(d.Find("c"), nullptr);
}

}  // namespace
}  // namespace ambervale

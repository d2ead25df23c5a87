#pragma once

// Where the demo agency's PNRs must be (examples/demo/expected.json) and where they are (the
// simulated host's state file), and the two checks the end-to-end tests make:
// - after a complete run every PNR is exactly where expected.json says;
// - at any moment, even after a crash, no PNR is lost or doubled: each one is on its source
//   queue, or on its office's Fail Queue with its row in the Fail Queue Log, or on all of its
//   agents' queues - and nowhere else.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sim/world.h"

namespace ambervale::e2e {

struct ExpectedPnr {
  std::string source;                        // "LON1/41*C5"
  std::set<std::string> destinations;        // after one run
  std::set<std::string> agent_destinations;  // its agents' queues (differs only for refused)
  bool refused = false;                      // the host refuses its first moves
};
using ExpectedPnrs = std::map<std::string, ExpectedPnr>;

// examples/demo/expected.json.
ExpectedPnrs LoadExpected();

// Locator -> the queues holding it, once per time it is on a queue.
using Places = std::map<std::string, std::vector<std::string>>;
Places PnrPlaces(const sim::World& world);

// The Fail Queue of the office a queue belongs to ("LON1/40" -> "LON1/90").
std::string FailQueueOf(std::string_view queue);

// Whether the PNRs are where a complete run leaves them. `refused_returned`: a later start
// has returned the refused PNR from the Fail Queue, so it is with its agents.
::testing::AssertionResult EveryPnrWhereExpected(const Places& places, const ExpectedPnrs& expected,
                                                 bool refused_returned);

// Whether no PNR is lost or doubled (see above); `fail_queue_log` is the text of
// logs/Fail_Queue_Log.csv.
::testing::AssertionResult NoPnrLost(const Places& places, const ExpectedPnrs& expected,
                                     std::string_view fail_queue_log);

// Whether the Fail Queue Log has a row for `locator` taken from `source`.
bool HasFailQueueRow(std::string_view fail_queue_log, std::string_view source,
                     std::string_view locator);

}  // namespace ambervale::e2e

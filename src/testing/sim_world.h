#pragma once

// The simulator's test scenario (sim/testdata/basic.json) and its variants, for the tests of
// the simulated host.

#include <string>
#include <string_view>
#include <vector>

namespace ambervale::testing {

// sim/testdata/basic.json: its path and its text.
std::string BasicScenarioPath();
std::string BasicScenario();
// The basic scenario with `from` (its first occurrence) replaced by `to`.
std::string BasicWith(std::string_view from, std::string_view to);
// The basic scenario with these faults ("{...}").
std::string BasicWithFaults(std::string_view faults);
// `text` + "<CARRIAGE_RETURN/>".
std::string Cr(std::string_view text);
std::vector<std::string> Cr(std::initializer_list<std::string_view> texts);

}  // namespace ambervale::testing

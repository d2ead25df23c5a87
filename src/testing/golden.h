#pragma once

// Golden texts: a test's whole output compared with a file of the source tree, gtest printing
// the difference. With AMBERVALE_UPDATE_GOLDEN=1 in the environment a differing file is
// rewritten from what the test produced (review the diff) and the test fails to say so. And the
// simulator's test scenario, from the source tree too.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ambervale::testing {

// The path of `name` ("sim/testdata/basic.json") in the source tree.
std::string SourceFile(std::string_view name);

// Compares `actual` with the file `name` of the source tree.
void ExpectGolden(std::string_view name, const std::string& actual);

// A golden table: the file `name` holds items, each a line "> INPUT" followed by the lines
// produce(INPUT) gives (ended by "\n"); "# " lines are comments. The whole file is compared.
void ExpectGoldenTable(std::string_view name,
                       const std::function<std::string(const std::string&)>& produce);

// `text` for a golden file: CR LF ends as line ends, a lone CR or LF shown as <CR> or <LF>.
std::string GoldenLines(std::string_view text);

// The parts of a golden table's item (`text` cut at each `separator`).
std::vector<std::string> ItemParts(std::string_view text, std::string_view separator);

// The simulator's test scenario sim/testdata/basic.json: its text, and its text with
// `from` (its first occurrence) replaced by `to` or with these faults ("{...}").
std::string BasicScenario();
std::string BasicWith(std::string_view from, std::string_view to);
std::string BasicWithFaults(std::string_view faults);
// `text` + "<CARRIAGE_RETURN/>", the end of a screen line.
std::string Cr(std::string_view text);

}  // namespace ambervale::testing

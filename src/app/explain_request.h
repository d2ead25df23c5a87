#pragma once

// The options of --explain: the task whose mapping files are searched and the fields of the
// PNR to search for.
//   --task PCC/QUEUE[*CAT]  the source queue, as in the Task Maintenance file (required)
//   --sine XY               the agent sine of the locator line
//   --name TEXT             the name line ("SMITH/JOHN MR")
//   --di TEXT               one DI remark ("AC ACCT-129", "X/QD-ACME"); repeatable, in order
//   --ci VALUE              the CI customer value ("00123")
// Each takes its value as the next argument or after "=". Values reach the lookups as given
// (converted from UTF-8 to Windows-1252); the host shows PNRs in upper case.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ambervale {

struct ExplainRequest {
  bool asked = false;  // --explain was given
  std::string task;    // as given
  std::string pcc;     // upper case
  int16_t queue = 0;
  std::string category;  // upper case, empty for none
  std::string sine;
  std::string name;
  std::vector<std::string> di;
  std::optional<std::string> ci;
  bool any_option = false;  // some option of --explain was given (with or without --explain)
};

// Whether `arg` is --explain or one of its options (also in the "--option=value" form).
[[nodiscard]] bool IsExplainOption(std::string_view arg);

// Takes the option at argv[*i] (moving *i past a separate value). A message naming the option
// when the value is missing or wrong ("--task: expected PCC/QUEUE[*CAT], got 'X'").
[[nodiscard]] std::optional<std::string> TakeExplainOption(int argc, const char* const* argv,
                                                           int* i, ExplainRequest* request);

// After all arguments: a message when the options of --explain stand without it, or --explain
// without --task.
[[nodiscard]] std::optional<std::string> CheckExplainRequest(const ExplainRequest& request);

}  // namespace ambervale

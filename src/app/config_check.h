#pragma once

// The configuration check (--check): start-up up to and including the cross-checks, without
// the single-instance lock, without signing on and without asking anything. It reads
// settings.ini, the Task Maintenance file and the agent mapping files as start-up does and
// prints every problem it finds, going on after each one where the rest can still be checked:
// every settings problem, the task file, the mapping files, the cross-check findings. A PCC
// check that start-up would ask about is printed as a note; it is no problem.
//
// The program's logs are left alone: the loaders' log lines go to a scratch folder that is
// removed afterwards. Only the mapping loader's own report of missing values,
// tempMissMappingValue.log in the program folder, is written as at start-up.
//
// Output: "Checking <settings.ini path>", then one "problem: " or "note: " entry per finding
// (further lines of an entry indented by two blanks), then a summary line.

#include <functional>
#include <iosfwd>
#include <string_view>

#include "form/frm_main.h"
#include "platform/env.h"

namespace ambervale {

// 0 when the configuration is usable, 1 otherwise. `utf8`: the texts (Windows-1252) are
// converted to UTF-8 for the terminal. `env` gives the program folder and the clock.
// `terminal_problem`: what is wrong with the [Terminal] section
// (TerminalChoice::Problem), reported as one more problem when settings.ini is there.
[[nodiscard]] int CheckConfiguration(Env& env, std::ostream& out, bool utf8 = false,
                                     std::string_view terminal_problem = "");

// Loads the configuration as CheckConfiguration does (the [Terminal] section aside). When it is
// usable, calls `use` with the loaded state (settings, Task Maintenance and mapping tables)
// and returns its result; otherwise prints what CheckConfiguration prints and returns 1.
[[nodiscard]] int WithConfiguration(Env& env, std::ostream& out, bool utf8,
                                    const std::function<int(const frmMain&)>& use);

}  // namespace ambervale

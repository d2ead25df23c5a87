#pragma once

// The Task Maintenance file: the program's work list. Each row names a source queue to empty
// (distribution mode) or a PCC whose unticketed PNRs are queued (unticketed mode); rows are
// grouped by source in frmMain::dictFmtoMapping, in file order.
//
// Columns are found by header name (trimmed, upper case). Distribution mode needs "FROM PCC",
// "FROM CATEGORY", "MAPPING FILE", "FROM QUEUE NO", "ADD NOTE" and "NOTEPAD"; unticketed mode
// "FROM PCC", "AIRLINE" and "DAYS". The first row whose "FROM PCC" is blank ends the data.

#include <string>
#include <string_view>
#include <vector>

#include "config/config_csv.h"
#include "form/frm_main.h"
#include "model/rows.h"
#include "platform/program_end.h"
#include "platform/status.h"

namespace ambervale {

// Loads the file into form.dictFmtoMapping (replacing it). `fileName` is trimmed in place; the
// file is `fileName` itself when such a file exists (a relative name against the working
// directory), else the program folder + "/" + fileName. Each row records its line number.
//
// Returns OK when every row passed. Otherwise the result's message says what was wrong,
// naming `fileName`, the line, the column and the value; the same text is written to the
// debug log as "##### date time. <problem> #####" (besides the "Notepad field Empty" line of
// an empty notepad text).
//
// A category that fails IsValidCategory asks the operator (Yes/No box) whether to go on; No
// writes its log lines and returns the end of the program (exit code 1).
[[nodiscard]] LoadOutcome LoadTaskMaintenanceFile(frmMain& form, std::string* fileName);

// The key of a row in dictFmtoMapping. Distribution: PCC + "#" + queue, then "*" + category
// when the category is not blank (ABC1#5, ABC1#5*C1). Unticketed: PCC + "#" + UTKToQueue.
[[nodiscard]] std::string TaskKey(const FormSettings& form, const clsFromQueue& row);

// Upper-cases `category` in place; true for a blank category, "C" + digit, or "C" + two digits
// or two letters A-Z (C5, c5, C12, CAB; not 5, C, CA, C1A, X12, C123).
[[nodiscard]] bool IsValidCategory(std::string* category);

// "OK" when no group of dictFmtoMapping holds two rows with the same PCC, queue, category and
// mapping file; an empty text otherwise. On a repetition the detail (which lines repeat each
// other) is written to the debug log and stored in `problem` when given.
[[nodiscard]] std::string CheckTaskDuplicates(frmMain& form, std::string* problem = nullptr);

// The airline codes of an "AIRLINE" cell split at "," (no trimming); an empty text gives none.
[[nodiscard]] std::vector<std::string> SplitAirlines(std::string_view airlines);
// True when the text holds at most five comma-separated codes.
[[nodiscard]] bool CheckAirlineCount(std::string_view airlines);

}  // namespace ambervale

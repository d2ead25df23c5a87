#pragma once

// Reading the scrambled run log back: the clear text of a whole file, cut into its records.
// A record is one line of the clear text with its CR LF; a start banner's separator and the
// lines of a host screen are records of their own.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ambervale {

// The clear text of a scrambled run log's bytes (the scrambling undoes itself).
std::string UnscrambleRunLog(std::string_view file_bytes);

// The records of `clear`, each ending in CR LF; a last record cut short (no CR LF) is kept as
// it is. Views into `clear`.
std::vector<std::string_view> SplitRunLogRecords(std::string_view clear);

// The tail of `clear` that holds its last `count` records (all of it when it holds fewer).
std::string_view LastRunLogRecords(std::string_view clear, size_t count);

}  // namespace ambervale

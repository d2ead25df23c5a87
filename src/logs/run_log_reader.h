#pragma once

// Reading the scrambled run log back: the clear text of a whole file, and its last records.
// A record is one line of the clear text with its CR LF; a start banner's separator and the
// lines of a host screen are records of their own.

#include <cstddef>
#include <string>
#include <string_view>

namespace ambervale {

// The clear text of a scrambled run log's bytes (the scrambling undoes itself).
std::string UnscrambleRunLog(std::string_view file_bytes);

// The tail of `clear` that holds its last `count` records (all of it when it holds fewer).
std::string_view LastRunLogRecords(std::string_view clear, size_t count);

}  // namespace ambervale

#pragma once

// A ring of CSV files in the logs folder (prefix + N + ".csv", N = 1..99), written as the other
// rings are: to the most recently modified file, and on to the next number (emptied first) once
// it has grown past LOGFILESIZE. Every file starts with the header row, so each one can be
// read on its own. Windows-1252 text, CR LF line ends; nothing stays open between writes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "logs/logs.h"
#include "logs/ring_log.h"

namespace ambervale {

// `fields` joined by ",", a field holding a comma, a double quote or a line break in double
// quotes (its quotes doubled).
[[nodiscard]] std::string CsvLine(const std::vector<std::string>& fields);

class CsvRingLog {
 public:
  // `logs` gives the folder, the clock and the size limit; it must outlive the ring.
  // `header` is the header row's fields.
  CsvRingLog(Logs& logs, std::string prefix, const std::vector<std::string>& header);

  // Appends the rows in one write, the header row first when the file is new or empty. False
  // when the write failed (the rows are lost, as a log line is).
  bool WriteRows(const std::vector<std::vector<std::string>>& rows);

 private:
  Logs& logs_;
  int32_t size_limit_ = 0;
  RingLog ring_;
  std::string header_;
};

}  // namespace ambervale

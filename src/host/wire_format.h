#pragma once

// The line format of terminal entries over TCP, shared by the network terminal and the
// simulator's server:
//   request: one line, the entry with "\" written "\\", CR "\r" and LF "\n", ended by LF;
//   answer:  the number of lines in decimal and LF, then each line escaped the same way and
//            ended by LF.
// Bytes other than those three pass unchanged (texts are Windows-1252).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ambervale {

std::string EscapeWireLine(std::string_view text);
// The inverse of EscapeWireLine; an unknown escape ("\x") and a lone trailing "\" are kept.
std::string UnescapeWireLine(std::string_view line);

// A whole answer: count line, then the escaped lines.
std::string EncodeWireAnswer(const std::vector<std::string>& lines);

// Reads the count line of an answer ("12"); nullopt when it is not a decimal number of at
// most 9 digits.
std::optional<size_t> ParseWireCount(std::string_view line);

}  // namespace ambervale

#pragma once

// The classic BASIC text and number semantics the whole program is written against.
// Strings are bytes in Windows-1252, one byte a character. Positions are 1-based as in the
// host screens' descriptions. No function here fails on an out-of-range position or length:
// such a request gives empty text (or 0 for a search), never undefined behaviour.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/env.h"

namespace ambervale {

constexpr std::string_view kCrLf = "\r\n";

// Characters `start` (1-based) on, at most `length` of them (negative: to the end).
std::string Mid(std::string_view s, int start, int length = -1);
std::string Left(std::string_view s, int length);
std::string Right(std::string_view s, int length);

// Position (1-based) of the first `find` at or after `start`, case-sensitive; 0 when none.
// An empty `s` gives 0; an empty `find` gives `start` when start <= length + 1, else 0
// (classic InStr).
int InStr(std::string_view s, std::string_view find, int start = 1);
// The same ignoring letter case (Windows-1252 upper-casing).
int InStrNoCase(std::string_view s, std::string_view find, int start = 1);
// Position of the last `find`, case-sensitive; 0 when none. An empty `s` gives 0, an empty
// `find` the length of `s` (classic InStrRev).
int InStrRev(std::string_view s, std::string_view find);
bool Contains(std::string_view s, std::string_view find);
bool ContainsNoCase(std::string_view s, std::string_view find);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Blanks (the space character only) removed at both ends / the left / the right.
std::string Trim(std::string_view s);
std::string_view TrimView(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
// Every white-space character (space, tab, CR, LF, VT, FF) removed at both ends: for texts
// that come from files, mail servers and the system rather than from the host's screens.
std::string_view TrimWhitespace(std::string_view s);

// Upper / lower case of Windows-1252 text (ASCII letters and the accented letters of the
// code page; other bytes unchanged).
std::string UCase(std::string_view s);
std::string LCase(std::string_view s);
char UpperChar(char c);

// Every occurrence of `find` replaced by `with` (an empty `find` changes nothing).
std::string Replace(std::string_view s, std::string_view find, std::string_view with);

// `s` filled with blanks on the right to `width` characters; longer text is kept whole.
std::string PadRight(std::string_view s, size_t width);

// The classic IsNumeric test: optional blanks (or tabs), a sign, digits with at most one
// decimal point (at least one digit), an optional exponent (E or D, optional sign, digits),
// optional blanks. Empty or blank text is not numeric, and neither is a value too large for
// a double. Hex and octal forms ("&H1A") are refused: a setting or a queue number written
// that way is a typing error, not a number.
bool IsNumeric(std::string_view s);
// The value of a text IsNumeric accepts; nullopt otherwise.
std::optional<double> NumericValue(std::string_view s);

// Conversion of a numeric text to an integer: rounded to the nearest integer with halves to
// the even neighbour; nullopt when the text is not numeric or the value lies outside the type.
std::optional<int16_t> ToInt16(std::string_view s);
std::optional<int32_t> ToInt32(std::string_view s);

// "yyyy/mm/dd" and "hh:mm:ss" (24-hour clock).
std::string FormatDate(const CivilTime& t);
std::string FormatTime(const CivilTime& t);
// "yyyy/mm/dd hh:mm:ss".
std::string FormatDateTime(const CivilTime& t);

}  // namespace ambervale

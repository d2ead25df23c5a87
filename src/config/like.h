#pragma once

// The classic wildcard test of a whole text against a pattern, case-sensitive (byte
// comparison):
//   ?        any one character
//   *        any run of characters, none included
//   #        one digit 0-9
//   [list]   one character of the list; "a-z" in a list is a range of byte values,
//            a "-" first or last in the list stands for itself
//   [!list]  one character not in the list
//   []       nothing (matches no character)
// Every other character, "]" and "!" outside a list included, stands for itself.
// A pattern that is not well formed (an unclosed "[", a descending range such as "[z-a]")
// matches no text. The test takes time proportional to the lengths of text and pattern
// multiplied, never exponential, whatever the number of "*".

#include <string_view>

namespace ambervale {

[[nodiscard]] bool Like(std::string_view text, std::string_view pattern);

// True when `pattern` is well formed (see above).
[[nodiscard]] bool IsValidLikePattern(std::string_view pattern);

}  // namespace ambervale

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ambervale {

// Windows-1252 is the program's text: files, host screens and logs. These convert at the
// edges that need Unicode (the Qt window, JSON files, the console when its locale is UTF-8).

// Every byte to its Unicode character; the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value.
std::string Cp1252ToUtf8(std::string_view text);

// UTF-8 to Windows-1252; nullopt when the text is not valid UTF-8 or holds a character the
// code page cannot write. `failed_at`, when given, then receives the byte offset where the
// first such character starts.
std::optional<std::string> Utf8ToCp1252(std::string_view text, size_t* failed_at = nullptr);

}  // namespace ambervale

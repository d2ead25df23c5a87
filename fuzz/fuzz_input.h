#pragma once

// What the fuzz targets share: the input cut into parts (files, screens, arguments).

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ambervale::fuzz {

// Between the parts of one input (files, screens): the record separator, which no part holds.
inline constexpr char kPartSeparator = '\x1e';

// The input cut at every part separator: into exactly `count` parts (missing ones empty, the
// last keeping any further separators), or into as many as there are.
inline std::vector<std::string_view> Parts(const uint8_t* data, size_t size,
                                           size_t count = SIZE_MAX) {
  std::vector<std::string_view> parts;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (size_t end; parts.size() + 1 < count && (end = text.find(kPartSeparator)) != text.npos;
       text.remove_prefix(end + 1)) {
    parts.push_back(text.substr(0, end));
  }
  parts.push_back(text);
  if (count != SIZE_MAX) parts.resize(count);
  return parts;
}

}  // namespace ambervale::fuzz

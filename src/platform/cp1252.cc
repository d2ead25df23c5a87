#include "platform/cp1252.h"

#include <array>
#include <cstdint>
#include <unordered_map>

namespace ambervale {
namespace {

// Unicode code points of the bytes 0x80-0x9F; the undefined ones map to themselves.
constexpr std::array<uint16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint32_t CodePointOf(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) return kHigh[b - 0x80];
  return b;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

const std::unordered_map<uint32_t, char>& ReverseHigh() {
  static const auto* table = [] {
    auto* t = new std::unordered_map<uint32_t, char>();
    for (unsigned b = 0x80; b <= 0x9F; ++b) (*t)[kHigh[b - 0x80]] = static_cast<char>(b);
    return t;
  }();
  return *table;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(out, CodePointOf(static_cast<unsigned char>(c)));
  return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view text, size_t* failed_at) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  const auto fail = [&]() -> std::optional<std::string> {
    if (failed_at != nullptr) *failed_at = i;
    return std::nullopt;
  };
  while (i < text.size()) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    uint32_t cp;
    size_t len;
    if (b0 < 0x80) {
      cp = b0;
      len = 1;
    } else if ((b0 & 0xE0) == 0xC0) {
      cp = b0 & 0x1F;
      len = 2;
    } else if ((b0 & 0xF0) == 0xE0) {
      cp = b0 & 0x0F;
      len = 3;
    } else if ((b0 & 0xF8) == 0xF0) {
      cp = b0 & 0x07;
      len = 4;
    } else {
      return fail();
    }
    if (i + len > text.size()) return fail();
    for (size_t k = 1; k < len; ++k) {
      const auto b = static_cast<unsigned char>(text[i + k]);
      if ((b & 0xC0) != 0x80) return fail();
      cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms and surrogates are not valid UTF-8.
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
      return fail();
    }
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out.push_back(static_cast<char>(cp));
      i += len;
      continue;
    }
    const auto& rev = ReverseHigh();
    auto it = rev.find(cp);
    if (it == rev.end()) return fail();
    out.push_back(it->second);
    i += len;
  }
  return out;
}

}  // namespace ambervale

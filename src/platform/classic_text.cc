#include "platform/classic_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

namespace ambervale {
namespace {

int Len(std::string_view s) { return static_cast<int>(s.size()); }

bool IsBlank(char c) { return c == ' '; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double v) {
  const double floor_v = std::floor(v);
  const double diff = v - floor_v;
  if (diff > 0.5) return floor_v + 1;
  if (diff < 0.5) return floor_v;
  return std::fmod(floor_v, 2.0) == 0 ? floor_v : floor_v + 1;
}

template <typename T>
std::optional<T> ToInteger(std::string_view s) {
  const std::optional<double> v = NumericValue(s);
  if (!v) return std::nullopt;
  const double r = RoundHalfEven(*v);
  if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
      r > static_cast<double>(std::numeric_limits<T>::max())) {
    return std::nullopt;
  }
  return static_cast<T>(r);
}

char LowerChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
  switch (u) {
    case 0x8A:
      return static_cast<char>(0x9A);
    case 0x8C:
      return static_cast<char>(0x9C);
    case 0x8E:
      return static_cast<char>(0x9E);
    case 0x9F:
      return static_cast<char>(0xFF);
    default:
      return c;
  }
}

}  // namespace

std::string Mid(std::string_view s, int start, int length) {
  if (start < 1 || start > Len(s) || length == 0) return "";
  const size_t from = static_cast<size_t>(start - 1);
  if (length < 0) return std::string(s.substr(from));
  return std::string(s.substr(from, static_cast<size_t>(length)));
}

std::string Left(std::string_view s, int length) {
  if (length <= 0) return "";
  return std::string(s.substr(0, static_cast<size_t>(length)));
}

std::string Right(std::string_view s, int length) {
  if (length <= 0) return "";
  if (length >= Len(s)) return std::string(s);
  return std::string(s.substr(s.size() - static_cast<size_t>(length)));
}

int InStr(std::string_view s, std::string_view find, int start) {
  if (s.empty() || start < 1 || start > Len(s) + 1) return 0;
  const size_t pos = s.find(find, static_cast<size_t>(start - 1));
  return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

int InStrNoCase(std::string_view s, std::string_view find, int start) {
  return InStr(UCase(s), UCase(find), start);
}

int InStrRev(std::string_view s, std::string_view find) {
  if (s.empty()) return 0;
  if (find.empty()) return Len(s);
  const size_t pos = s.rfind(find);
  return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

bool Contains(std::string_view s, std::string_view find) {
  return s.find(find) != std::string_view::npos;
}

bool ContainsNoCase(std::string_view s, std::string_view find) {
  return UCase(s).find(UCase(find)) != std::string::npos;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  }
  return true;
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view TrimWhitespace(std::string_view s) {
  const auto white = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!s.empty() && white(s.front())) s.remove_prefix(1);
  while (!s.empty() && white(s.back())) s.remove_suffix(1);
  return s;
}

std::string LTrim(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return std::string(s.substr(i));
}

std::string RTrim(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return std::string(s.substr(0, n));
}

char UpperChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  switch (u) {
    case 0x9A:  // s caron
      return static_cast<char>(0x8A);
    case 0x9C:  // oe
      return static_cast<char>(0x8C);
    case 0x9E:  // z caron
      return static_cast<char>(0x8E);
    case 0xFF:  // y diaeresis
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

std::string UCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperChar(c);
  return out;
}

std::string LCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerChar(c);
  return out;
}

std::string Replace(std::string_view s, std::string_view find, std::string_view with) {
  if (find.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  size_t pos = 0;
  while (true) {
    const size_t hit = s.find(find, pos);
    if (hit == std::string_view::npos) break;
    out.append(s.substr(pos, hit - pos));
    out.append(with);
    pos = hit + find.size();
  }
  out.append(s.substr(pos));
  return out;
}

std::string PadRight(std::string_view s, size_t width) {
  std::string out(s);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

std::optional<double> NumericValue(std::string_view s) {
  // Blanks (and tabs) around the number are allowed.
  size_t b = 0;
  size_t e = s.size();
  auto space = [](char c) { return c == ' ' || c == '\t'; };
  while (b < e && space(s[b])) ++b;
  while (e > b && space(s[e - 1])) --e;
  std::string_view t = s.substr(b, e - b);
  if (t.empty()) return std::nullopt;

  size_t i = 0;
  bool negative = false;
  if (t[i] == '+' || t[i] == '-') {
    negative = t[i] == '-';
    ++i;
  }
  std::string canonical;
  int digits = 0;
  while (i < t.size() && IsDigit(t[i])) {
    canonical.push_back(t[i++]);
    ++digits;
  }
  if (i < t.size() && t[i] == '.') {
    canonical.push_back('.');
    ++i;
    while (i < t.size() && IsDigit(t[i])) {
      canonical.push_back(t[i++]);
      ++digits;
    }
  }
  if (digits == 0) return std::nullopt;
  if (i < t.size() && (UpperChar(t[i]) == 'E' || UpperChar(t[i]) == 'D')) {
    canonical.push_back('e');
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) canonical.push_back(t[i++]);
    int exp_digits = 0;
    while (i < t.size() && IsDigit(t[i])) {
      canonical.push_back(t[i++]);
      ++exp_digits;
    }
    if (exp_digits == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  // from_chars ignores the process locale (a window toolkit may set a locale whose decimal
  // mark is a comma). A value beyond the range of a double (1e400) is refused, as the classic
  // test refuses it; so is one too small for it (1e-400).
  double v = 0;
  const char* end = canonical.data() + canonical.size();
  const auto [ptr, ec] = std::from_chars(canonical.data(), end, v);
  if (ec != std::errc() || ptr != end || !std::isfinite(v)) return std::nullopt;
  return negative ? -v : v;
}

bool IsNumeric(std::string_view s) { return NumericValue(s).has_value(); }

std::optional<int16_t> ToInt16(std::string_view s) { return ToInteger<int16_t>(s); }

std::optional<int32_t> ToInt32(std::string_view s) { return ToInteger<int32_t>(s); }

std::string FormatDate(const CivilTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", t.year, t.month, t.day);
  return buf;
}

std::string FormatTime(const CivilTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return buf;
}

std::string FormatDateTime(const CivilTime& t) { return FormatDate(t) + " " + FormatTime(t); }

}  // namespace ambervale

#include "host/wire_format.h"

namespace ambervale {

std::string EscapeWireLine(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (const char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string UnescapeWireLine(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\' || i + 1 == line.size()) {
      out.push_back(line[i]);
      continue;
    }
    const char next = line[i + 1];
    if (next == '\\') {
      out.push_back('\\');
    } else if (next == 'r') {
      out.push_back('\r');
    } else if (next == 'n') {
      out.push_back('\n');
    } else {
      out.push_back('\\');
      out.push_back(next);
    }
    ++i;
  }
  return out;
}

std::string EncodeWireAnswer(const std::vector<std::string>& lines) {
  std::string out = std::to_string(lines.size());
  out.push_back('\n');
  for (const std::string& line : lines) {
    out += EscapeWireLine(line);
    out.push_back('\n');
  }
  return out;
}

std::optional<size_t> ParseWireCount(std::string_view line) {
  if (line.empty() || line.size() > 9) return std::nullopt;
  size_t n = 0;
  for (const char c : line) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<size_t>(c - '0');
  }
  return n;
}

}  // namespace ambervale

#include "config/csv.h"

#include "platform/files.h"

namespace ambervale {
namespace {

constexpr size_t kNone = std::string_view::npos;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\n';
}

// The line with one "," appended, without copying it: position size() reads as ",".
class Terminated {
 public:
  explicit Terminated(std::string_view line) : line_(line) {}
  size_t size() const { return line_.size() + 1; }
  char operator[](size_t i) const { return i < line_.size() ? line_[i] : ','; }
  std::string_view Slice(size_t from, size_t to) const { return line_.substr(from, to - from); }

  size_t SkipSpace(size_t i) const {
    while (i < size() && IsSpace((*this)[i])) ++i;
    return i;
  }
  size_t NextComma(size_t i) const {
    const size_t pos = line_.find(',', i);
    return pos == kNone ? line_.size() : pos;
  }

 private:
  std::string_view line_;
};

// Finds closing quotes: a double quote followed by nothing but white space and a comma.
// Queries come with non-decreasing start positions, and the last answer is remembered, so
// one line costs linear time even when no quote ever closes.
class ClosingQuotes {
 public:
  explicit ClosingQuotes(const Terminated& text) : text_(text) {}

  // The first closing quote at or after `from`, or kNone.
  size_t FirstFrom(size_t from) {
    if (from >= searched_from_ && (found_ == kNone || from <= found_)) return found_;
    searched_from_ = from;
    found_ = kNone;
    size_t i = from;
    while (i < text_.size()) {
      if (text_[i] != '"') {
        ++i;
        continue;
      }
      const size_t after = text_.SkipSpace(i + 1);
      if (after < text_.size() && text_[after] == ',') {
        found_ = i;
        break;
      }
      // Nothing between i + 1 and `after` is a quote, so the search goes on from there.
      i = after;
    }
    return found_;
  }

 private:
  const Terminated& text_;
  size_t searched_from_ = kNone;
  size_t found_ = kNone;
};

}  // namespace

CsvRow ParseCsvLine(std::string_view line) {
  const Terminated text(line);
  ClosingQuotes closing(text);
  CsvRow cells;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t start = text.SkipSpace(pos);
    if (text[start] == '"') {
      const size_t close = closing.FirstFrom(start + 1);
      if (close != kNone) {
        cells.emplace_back(text.Slice(start + 1, close));
        pos = text.SkipSpace(close + 1) + 1;  // past the comma
        continue;
      }
    }
    const size_t comma = text.NextComma(start);
    size_t end = comma;
    while (end > start && IsSpace(text[end - 1])) --end;
    cells.emplace_back(text.Slice(start, end));
    pos = comma + 1;
  }
  return cells;
}

CsvRows ParseCsvText(std::string_view text) {
  CsvRows rows;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t lf = text.find('\n', pos);
    const size_t next = lf == kNone ? text.size() : lf + 1;
    if (lf == kNone) lf = text.size();
    size_t end = lf;
    if (lf < text.size() && end > pos && text[end - 1] == '\r') --end;
    rows.push_back(ParseCsvLine(text.substr(pos, end - pos)));
    pos = next;
  }
  return rows;
}

std::optional<CsvRows> ReadCsvFile(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  const std::optional<std::string> text = ReadFile(path);
  if (!text) return std::nullopt;
  return ParseCsvText(*text);
}

}  // namespace ambervale

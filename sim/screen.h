#pragma once

// A host answer being built: its lines with the terminal component's markup. Every line ends
// with "<CARRIAGE_RETURN/>" except the bare one-line displays; a field mark is written as
// "<TABSTOP/>". Texts are Windows-1252 bytes and pass through unchanged.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ambervale::sim {

inline constexpr std::string_view kCarriageReturn = "<CARRIAGE_RETURN/>";
inline constexpr std::string_view kTabStop = "<TABSTOP/>";

class Screen {
 public:
  Screen() = default;
  // A one-line screen.
  explicit Screen(std::string_view line) { Add(line); }
  // A screen of lines that already carry their markup.
  static Screen OfLines(std::vector<std::string> lines) {
    Screen screen;
    screen.lines_ = std::move(lines);
    return screen;
  }

  // A line of text (may be empty) ended by the line-break markup.
  Screen& Add(std::string_view text);
  // `before` + field mark + `after`, ended by the line-break markup.
  Screen& AddMarked(std::string_view before, std::string_view after);
  // A line without any markup (queue count displays).
  Screen& AddBare(std::string_view text);
  Screen& Append(const Screen& other);

  const std::vector<std::string>& lines() const { return lines_; }
  std::vector<std::string> TakeLines() { return std::move(lines_); }
  bool empty() const { return lines_.empty(); }

 private:
  std::vector<std::string> lines_;
};

// `n` right-aligned in `width` places with leading zeros ("012"); wider numbers stay whole.
std::string ZeroPad(long long n, size_t width);

}  // namespace ambervale::sim

#include "sim/screen.h"

namespace ambervale::sim {

Screen& Screen::Add(std::string_view text) {
  std::string line;
  line.reserve(text.size() + kCarriageReturn.size());
  line.append(text);
  line.append(kCarriageReturn);
  lines_.push_back(std::move(line));
  return *this;
}

Screen& Screen::AddMarked(std::string_view before, std::string_view after) {
  std::string line;
  line.reserve(before.size() + kTabStop.size() + after.size() + kCarriageReturn.size());
  line.append(before);
  line.append(kTabStop);
  line.append(after);
  line.append(kCarriageReturn);
  lines_.push_back(std::move(line));
  return *this;
}

Screen& Screen::AddBare(std::string_view text) {
  lines_.emplace_back(text);
  return *this;
}

Screen& Screen::Append(const Screen& other) {
  lines_.insert(lines_.end(), other.lines_.begin(), other.lines_.end());
  return *this;
}

std::string ZeroPad(long long n, size_t width) {
  std::string digits = std::to_string(n);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

}  // namespace ambervale::sim

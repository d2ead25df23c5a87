#include "config/like.h"

#include <bitset>
#include <optional>
#include <vector>

namespace ambervale {
namespace {

// One step of a compiled pattern. Every step except kStar stands for exactly one character.
struct Step {
  enum Kind { kLiteral, kAny, kDigit, kSet, kStar } kind = kLiteral;
  unsigned char literal = 0;
  std::bitset<256> set;  // kSet: the characters it accepts (negation already applied)
};

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// Compiles the list that starts after "[" at `pos`; on success `pos` is past the "]".
// nullopt for an unclosed list or a descending range; an empty list compiles to no step.
std::optional<std::optional<Step>> CompileList(std::string_view pattern, size_t& pos) {
  const size_t close = pattern.find(']', pos);
  if (close == std::string_view::npos) return std::nullopt;
  std::string_view list = pattern.substr(pos, close - pos);
  pos = close + 1;
  if (list.empty()) return std::optional<Step>();  // "[]" stands for nothing
  const bool negate = list.front() == '!';
  if (negate) list.remove_prefix(1);
  Step step;
  step.kind = Step::kSet;
  for (size_t i = 0; i < list.size(); ++i) {
    const bool range = i + 2 < list.size() && list[i + 1] == '-';
    if (!range) {
      step.set.set(Byte(list[i]));
      continue;
    }
    const unsigned char from = Byte(list[i]);
    const unsigned char to = Byte(list[i + 2]);
    if (from > to) return std::nullopt;
    for (unsigned c = from; c <= to; ++c) step.set.set(c);
    i += 2;
  }
  if (negate) step.set.flip();
  return std::optional<Step>(step);
}

std::optional<std::vector<Step>> Compile(std::string_view pattern) {
  std::vector<Step> steps;
  size_t pos = 0;
  while (pos < pattern.size()) {
    const char c = pattern[pos++];
    Step step;
    switch (c) {
      case '?':
        step.kind = Step::kAny;
        break;
      case '#':
        step.kind = Step::kDigit;
        break;
      case '*':
        // Runs of stars mean the same as one.
        if (!steps.empty() && steps.back().kind == Step::kStar) continue;
        step.kind = Step::kStar;
        break;
      case '[': {
        std::optional<std::optional<Step>> list = CompileList(pattern, pos);
        if (!list) return std::nullopt;
        if (!*list) continue;
        step = **list;
        break;
      }
      default:
        step.literal = Byte(c);
        break;
    }
    steps.push_back(step);
  }
  return steps;
}

bool Accepts(const Step& step, unsigned char c) {
  switch (step.kind) {
    case Step::kLiteral:
      return c == step.literal;
    case Step::kAny:
      return true;
    case Step::kDigit:
      return c >= '0' && c <= '9';
    case Step::kSet:
      return step.set.test(c);
    case Step::kStar:
      return false;
  }
  return false;
}

// Every step but a star takes exactly one character, so on a mismatch only the most recent
// star needs to take one more character: the earlier stars could not do better.
bool Match(std::string_view text, const std::vector<Step>& steps) {
  size_t t = 0;
  size_t s = 0;
  size_t star = std::string_view::npos;  // step index of the last star seen
  size_t star_text = 0;                  // text position that star's run ends at
  while (t < text.size()) {
    if (s < steps.size() && steps[s].kind == Step::kStar) {
      star = s++;
      star_text = t;
    } else if (s < steps.size() && Accepts(steps[s], Byte(text[t]))) {
      ++s;
      ++t;
    } else if (star != std::string_view::npos) {
      s = star + 1;
      t = ++star_text;
    } else {
      return false;
    }
  }
  while (s < steps.size() && steps[s].kind == Step::kStar) ++s;
  return s == steps.size();
}

}  // namespace

bool Like(std::string_view text, std::string_view pattern) {
  const std::optional<std::vector<Step>> steps = Compile(pattern);
  return steps && Match(text, *steps);
}

bool IsValidLikePattern(std::string_view pattern) { return Compile(pattern).has_value(); }

}  // namespace ambervale

#include "sim/entries.h"

#include <string>

namespace ambervale::sim {

Screen AnswerEntry(HostContext& ctx, std::string_view entry) {
  using Family = std::optional<Screen> (*)(HostContext&, std::string_view);
  constexpr Family kFamilies[] = {AnswerSessionEntry, AnswerQueueDisplayEntry, AnswerQueueModeEntry,
                                  AnswerPnrEntry, AnswerUnticketedEntry};
  for (const Family family : kFamilies) {
    if (std::optional<Screen> screen = family(ctx, entry)) return std::move(*screen);
  }
  return FormatError();
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

Screen FormatError() { return Screen("FORMAT"); }

Screen InvalidQueue(std::string_view what) {
  return Screen("INVALID QUEUE - " + std::string(what));
}

}  // namespace ambervale::sim

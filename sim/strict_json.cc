#include "sim/strict_json.h"

#include <algorithm>
#include <set>
#include <vector>

namespace ambervale::sim {
namespace {

using nlohmann::ordered_json;
using Event = nlohmann::detail::parse_event_t;

// Follows the parser through the document to know the path of the object being read and
// the keys it has so far.
class DuplicateKeyFinder {
 public:
  bool OnEvent(Event event, const ordered_json& parsed) {
    switch (event) {
      case Event::object_start:
        StartElement();
        frames_.push_back(Frame{true, {}, {}, 0, 0});
        break;
      case Event::array_start:
        StartElement();
        frames_.push_back(Frame{false, {}, {}, 0, 0});
        break;
      case Event::object_end:
      case Event::array_end:
        if (!frames_.empty()) frames_.pop_back();
        break;
      case Event::key:
        OnKey(parsed.get<std::string>());
        break;
      case Event::value:
        StartElement();
        break;
    }
    return true;
  }

  const std::optional<std::string>& duplicate() const { return duplicate_; }

 private:
  struct Frame {
    bool is_object;
    std::set<std::string> keys;
    std::string key;    // the key being read (objects)
    size_t index;       // the element being read (arrays)
    size_t next_index;  // elements started so far (arrays)
  };

  // A new element starts in the innermost array.
  void StartElement() {
    if (!frames_.empty() && !frames_.back().is_object) {
      frames_.back().index = frames_.back().next_index++;
    }
  }

  void OnKey(const std::string& key) {
    if (frames_.empty()) return;
    Frame& frame = frames_.back();
    if (!frame.keys.insert(key).second && !duplicate_) {
      const std::string where = PathOfInnermost();
      duplicate_ = "duplicate key \"" + key + "\"" + (where.empty() ? "" : " in " + where);
    }
    frame.key = key;
  }

  // The path of the innermost container ("pnrs[2]", "pccs").
  std::string PathOfInnermost() const {
    std::string path;
    for (size_t i = 0; i + 1 < frames_.size(); ++i) {
      const Frame& f = frames_[i];
      if (f.is_object) {
        if (!path.empty()) path += ".";
        path += f.key;
      } else {
        path += "[" + std::to_string(f.index) + "]";
      }
    }
    return path;
  }

  std::vector<Frame> frames_;
  std::optional<std::string> duplicate_;
};

// "[json.exception.parse_error.101] parse error at line 1, column 2: detail" -> "detail".
std::string ParseErrorDetail(const std::string& what) {
  const size_t column = what.find(", column ");
  if (column != std::string::npos) {
    const size_t colon = what.find(": ", column);
    if (colon != std::string::npos) return what.substr(colon + 2);
  }
  const size_t bracket = what.find("] ");
  return bracket == std::string::npos ? what : what.substr(bracket + 2);
}

int ColumnOfOffset(std::string_view text, size_t offset) {
  offset = std::min(offset, text.size());
  const size_t line_start = text.rfind('\n', offset == 0 ? 0 : offset - 1);
  if (line_start == std::string_view::npos || offset == 0) return static_cast<int>(offset) + 1;
  return static_cast<int>(offset - line_start);
}

}  // namespace

int LineOfOffset(std::string_view text, size_t offset) {
  offset = std::min(offset, text.size());
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

std::optional<ordered_json> ParseStrictJson(std::string_view text, std::string* error) {
  DuplicateKeyFinder finder;
  ordered_json document;
  try {
    document = ordered_json::parse(text.begin(), text.end(),
                                   [&finder](int /*depth*/, Event event, ordered_json& parsed) {
                                     return finder.OnEvent(event, parsed);
                                   });
  } catch (const ordered_json::parse_error& e) {
    // `byte` counts from 1 and points at the last character read.
    const size_t offset = e.byte == 0 ? 0 : e.byte - 1;
    *error = "line " + std::to_string(LineOfOffset(text, offset)) + ", column " +
             std::to_string(ColumnOfOffset(text, offset)) + ": " + ParseErrorDetail(e.what());
    return std::nullopt;
  }
  if (finder.duplicate()) {
    *error = *finder.duplicate();
    return std::nullopt;
  }
  return document;
}

}  // namespace ambervale::sim

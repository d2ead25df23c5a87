#include "sim/strict_json.h"

#include <algorithm>
#include <unordered_set>
#include <utility>
#include <vector>

namespace ambervale::sim {
namespace {

using nlohmann::ordered_json;

// Builds the document from the parser's events as the library's own reader does, and refuses
// a key that its object already holds. Reading stays linear in the size of the text: the keys
// of each open object are kept in a hash set, and members are appended to the ordered object
// without its own search for an existing key (the set has already ruled one out).
class StrictDocumentBuilder {
 public:
  using number_integer_t = ordered_json::number_integer_t;
  using number_unsigned_t = ordered_json::number_unsigned_t;
  using number_float_t = ordered_json::number_float_t;
  using string_t = ordered_json::string_t;
  using binary_t = ordered_json::binary_t;

  explicit StrictDocumentBuilder(ordered_json* root) : root_(root) {}

  bool null() { return Add(nullptr); }
  bool boolean(bool value) { return Add(value); }
  bool number_integer(number_integer_t value) { return Add(value); }
  bool number_unsigned(number_unsigned_t value) { return Add(value); }
  bool number_float(number_float_t value, const string_t& /*text*/) { return Add(value); }
  bool string(string_t& value) { return Add(std::move(value)); }
  bool binary(binary_t& value) { return Add(ordered_json::binary(std::move(value))); }

  bool start_object(size_t /*size*/) {
    frames_.push_back(Frame{Place(ordered_json::object()), {}, {}, 0});
    return true;
  }
  bool start_array(size_t /*size*/) {
    frames_.push_back(Frame{Place(ordered_json::array()), {}, {}, 0});
    return true;
  }
  bool end_object() {
    frames_.pop_back();
    return true;
  }
  bool end_array() {
    frames_.pop_back();
    return true;
  }

  bool key(string_t& key) {
    Frame& frame = frames_.back();
    if (!frame.keys.insert(key).second) {
      const std::string where = PathOfInnermost();
      duplicate_ = "duplicate key \"" + key + "\"" + (where.empty() ? "" : " in " + where);
      return false;
    }
    frame.key = std::move(key);
    return true;
  }

  // `offset` counts the characters read, the one in error included.
  template <class Exception>
  bool parse_error(size_t offset, const std::string& /*token*/, const Exception& error) {
    error_offset_ = offset;
    error_what_ = error.what();
    return false;
  }

  const std::optional<std::string>& duplicate() const { return duplicate_; }
  size_t error_offset() const { return error_offset_; }
  const std::string& error_what() const { return error_what_; }

 private:
  struct Frame {
    ordered_json* value;
    std::unordered_set<std::string> keys;  // objects: the keys so far
    std::string key;                       // objects: the key being read
    size_t index;                          // arrays: the element being read
  };

  bool Add(ordered_json value) {
    Place(std::move(value));
    return true;
  }

  // Adds `value` where the parser is: the root, the next element of an array, or the member
  // of the key just read.
  ordered_json* Place(ordered_json value) {
    if (frames_.empty()) {
      *root_ = std::move(value);
      return root_;
    }
    Frame& frame = frames_.back();
    if (frame.value->is_array()) {
      ordered_json::array_t& array = frame.value->get_ref<ordered_json::array_t&>();
      frame.index = array.size();
      array.push_back(std::move(value));
      return &array.back();
    }
    ordered_json::object_t::Container& members = frame.value->get_ref<ordered_json::object_t&>();
    members.emplace_back(frame.key, std::move(value));
    return &members.back().second;
  }

  // The path of the innermost container ("pnrs[2]", "pccs").
  std::string PathOfInnermost() const {
    std::string path;
    for (size_t i = 0; i + 1 < frames_.size(); ++i) {
      const Frame& f = frames_[i];
      if (f.value->is_object()) {
        if (!path.empty()) path += ".";
        path += f.key;
      } else {
        path += "[" + std::to_string(f.index) + "]";
      }
    }
    return path;
  }

  ordered_json* root_;
  std::vector<Frame> frames_;
  std::optional<std::string> duplicate_;
  size_t error_offset_ = 0;
  std::string error_what_;
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
  ordered_json document;
  StrictDocumentBuilder builder(&document);
  bool parsed = false;
  try {
    parsed = ordered_json::sax_parse(text.begin(), text.end(), &builder);
  } catch (const ordered_json::exception& e) {
    *error = e.what();
    return std::nullopt;
  }
  if (builder.duplicate()) {
    *error = *builder.duplicate();
    return std::nullopt;
  }
  if (!parsed) {
    // The offset points just past the last character read.
    const size_t offset = builder.error_offset() == 0 ? 0 : builder.error_offset() - 1;
    *error = "line " + std::to_string(LineOfOffset(text, offset)) + ", column " +
             std::to_string(ColumnOfOffset(text, offset)) + ": " +
             ParseErrorDetail(builder.error_what());
    return std::nullopt;
  }
  return document;
}

}  // namespace ambervale::sim

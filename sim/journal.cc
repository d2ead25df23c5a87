#include "sim/journal.h"

#include <cstdio>
#include <limits>
#include <nlohmann/json.hpp>
#include <utility>

#include "platform/cp1252.h"
#include "sim/day_month.h"

namespace ambervale::sim {
namespace {

using nlohmann::ordered_json;

constexpr int kJournalVersion = 1;

// Thrown inside this file only; ReadJournal turns it into its error text.
struct BadLine {
  std::string why;
};

ordered_json Utf8(std::string_view text) { return Cp1252ToUtf8(text); }

ordered_json OptionalUtf8(const std::optional<std::string>& text) {
  return text ? Utf8(*text) : ordered_json(nullptr);
}

ordered_json Utf8List(const std::vector<std::string>& texts) {
  ordered_json list = ordered_json::array();
  for (const std::string& text : texts) list.push_back(Utf8(text));
  return list;
}

const ordered_json& Field(const ordered_json& object, const char* key) {
  if (!object.is_object() || !object.contains(key)) {
    throw BadLine{std::string("\"") + key + "\" is missing"};
  }
  return object[key];
}

std::string Text(const ordered_json& value) {
  if (!value.is_string()) throw BadLine{"a text is not a string"};
  std::optional<std::string> text = Utf8ToCp1252(value.get_ref<const std::string&>());
  if (!text) throw BadLine{"a text holds a character outside Windows-1252"};
  return std::move(*text);
}

std::optional<std::string> OptionalText(const ordered_json& value) {
  if (value.is_null()) return std::nullopt;
  return Text(value);
}

std::vector<std::string> Texts(const ordered_json& value) {
  if (!value.is_array()) throw BadLine{"a list is not an array"};
  std::vector<std::string> texts;
  for (const ordered_json& item : value) texts.push_back(Text(item));
  return texts;
}

int64_t Count(const ordered_json& value) {
  if (!value.is_number_unsigned() ||
      value.get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
    throw BadLine{"a count is not a whole number"};
  }
  return value.get<int64_t>();
}

ordered_json SessionJson(const Session& s) {
  ordered_json pages = ordered_json::array();
  for (const Screen& page : s.pages) pages.push_back(Utf8List(page.lines()));
  ordered_json j;
  j["agent_id"] = Utf8(s.agent_id);
  j["worked_queue"] = s.worked_queue ? Utf8(s.worked_queue->Key()) : ordered_json(nullptr);
  j["shown"] = OptionalUtf8(s.shown);
  j["pending_notepad"] = Utf8List(s.pending_notepad);
  j["pending_tau"] = OptionalUtf8(s.pending_tau);
  j["received_from"] = OptionalUtf8(s.received_from);
  j["pages"] = std::move(pages);
  j["next_page"] = s.next_page;
  return j;
}

Session ReadSession(const ordered_json& j, const World& world) {
  Session s;
  s.agent_id = Text(Field(j, "agent_id"));
  if (const std::optional<std::string> key = OptionalText(Field(j, "worked_queue"))) {
    QueueAddress queue;
    if (ParseQueueKey(world, *key, &queue) != AddressCheck::kValid) {
      throw BadLine{"the worked queue \"" + Cp1252ToUtf8(*key) + "\" is not a queue of the world"};
    }
    s.worked_queue = queue;
  }
  s.shown = OptionalText(Field(j, "shown"));
  s.pending_notepad = Texts(Field(j, "pending_notepad"));
  s.pending_tau = OptionalText(Field(j, "pending_tau"));
  s.received_from = OptionalText(Field(j, "received_from"));
  const ordered_json& pages = Field(j, "pages");
  if (!pages.is_array()) throw BadLine{"\"pages\" is not an array"};
  for (const ordered_json& page : pages) s.pages.push_back(Screen::OfLines(Texts(page)));
  s.next_page = static_cast<size_t>(Count(Field(j, "next_page")));
  return s;
}

ordered_json ParseLine(std::string_view line) {
  ordered_json j = ordered_json::parse(line, nullptr, false);
  if (j.is_discarded() || !j.is_object()) throw BadLine{"not a JSON object"};
  return j;
}

// False when the header names another snapshot.
bool ReadHeader(std::string_view line, std::string_view fingerprint, const World& world,
                JournalText* out) {
  const ordered_json j = ParseLine(line);
  if (!j.contains("journal") || j["journal"] != kJournalVersion) {
    throw BadLine{"not a journal of this version"};
  }
  if (Text(Field(j, "snapshot")) != fingerprint) return false;
  out->session = ReadSession(Field(j, "session"), world);
  return true;
}

JournalRecord ReadRecord(std::string_view line) {
  const ordered_json j = ParseLine(line);
  JournalRecord record;
  record.entries_before = Count(Field(j, "n"));
  const std::optional<std::chrono::sys_days> day = ParseIsoDate(Text(Field(j, "day")));
  if (!day) throw BadLine{"\"day\" is not a date"};
  record.day = *day;
  record.entry = Text(Field(j, "entry"));
  return record;
}

}  // namespace

std::string SnapshotFingerprint(std::string_view snapshot) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a, 64 bits
  for (const char c : snapshot) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string JournalHeaderLine(std::string_view fingerprint, const Session& session) {
  ordered_json j;
  j["journal"] = kJournalVersion;
  j["snapshot"] = Utf8(fingerprint);
  j["session"] = SessionJson(session);
  return j.dump() + "\n";
}

std::string JournalRecordLine(const JournalRecord& record) {
  ordered_json j;
  j["n"] = record.entries_before;
  j["day"] = FormatIsoDate(record.day);
  j["entry"] = Utf8(record.entry);
  return j.dump() + "\n";
}

std::optional<JournalText> ReadJournal(std::string_view text, std::string_view fingerprint,
                                       const World& world, std::string* error) {
  JournalText out;
  out.follows_snapshot = false;  // until a header says so
  size_t start = 0;
  for (int number = 0; start < text.size(); ++number) {
    const size_t end = text.find('\n', start);
    const bool complete = end != std::string_view::npos;
    const std::string_view line = text.substr(start, complete ? end - start : text.size());
    start = complete ? end + 1 : text.size();
    const std::string name = number == 0 ? "header" : "record " + std::to_string(number);
    std::string why = "cut short";
    try {
      if (complete && number == 0) {
        out.follows_snapshot = ReadHeader(line, fingerprint, world, &out);
        if (!out.follows_snapshot) return out;
        continue;
      }
      if (complete) {
        out.records.push_back(ReadRecord(line));
        continue;
      }
    } catch (const BadLine& bad) {
      why = bad.why;
    }
    if (start < text.size()) {
      *error = name + ": " + why;
      return std::nullopt;
    }
    out.dropped_tail = name + " (" + why + ")";
  }
  return out;
}

}  // namespace ambervale::sim

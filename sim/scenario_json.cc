#include "sim/scenario_json.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/cp1252.h"
#include "sim/day_month.h"
#include "sim/strict_json.h"

namespace ambervale::sim {
namespace {

using nlohmann::ordered_json;
using std::chrono::sys_days;

constexpr int64_t kMaxLatencyMs = 60000;

// Thrown inside this file only; ReadWorld turns it into its error text.
struct BadWorld {
  std::string message;
};

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
  throw BadWorld{(path.empty() ? "" : path + ": ") + what};
}

std::string Child(const std::string& path, std::string_view key) {
  return path.empty() ? std::string(key) : path + "." + std::string(key);
}

std::string Element(const std::string& path, size_t index) {
  return path + "[" + std::to_string(index) + "]";
}

std::string Quoted(std::string_view text) { return "\"" + Cp1252ToUtf8(text) + "\""; }

// Walks one document, converting and checking every value; knows its key paths.
class WorldReader {
 public:
  WorldReader(WorldSource source, sys_days today) : source_(source), today_(today) {}

  World Read(const ordered_json& doc) {
    if (!doc.is_object()) Fail("", "the file must hold one JSON object");
    CheckKeys(doc, "", TopLevelKeys());
    World world;
    if (doc.contains("agent_ids")) world.agent_ids = AgentIds(doc["agent_ids"], "agent_ids");
    if (doc.contains("signed_in")) world.signed_in = Bool(doc["signed_in"], "signed_in");
    if (doc.contains("sign_on_answer")) {
      world.sign_on_answer = SignOn(doc["sign_on_answer"], "sign_on_answer");
    }
    if (doc.contains("pccs")) ReadPccs(doc["pccs"], "pccs", &world);
    if (doc.contains("pnrs")) ReadPnrs(doc["pnrs"], "pnrs", &world);
    if (doc.contains("queues")) ReadQueues(doc["queues"], "queues", &world);
    if (doc.contains("faults")) ReadFaults(doc["faults"], "faults", &world);
    if (doc.contains("emulated_pcc")) ReadEmulatedPcc(doc["emulated_pcc"], &world);
    if (doc.contains("entries")) world.entries = Count(doc["entries"], "entries");
    return world;
  }

 private:
  std::vector<std::string_view> TopLevelKeys() const {
    std::vector<std::string_view> keys = {"agent_ids", "signed_in", "sign_on_answer", "pccs",
                                          "pnrs",      "queues",    "faults"};
    if (source_ == WorldSource::kState) {
      keys.push_back("emulated_pcc");
      keys.push_back("entries");
    }
    return keys;
  }

  void CheckKeys(const ordered_json& object, const std::string& path,
                 const std::vector<std::string_view>& allowed) const {
    for (const auto& [key, value] : object.items()) {
      if (std::find(allowed.begin(), allowed.end(), key) != allowed.end()) continue;
      if (path.empty() && source_ == WorldSource::kScenario &&
          (key == "emulated_pcc" || key == "entries")) {
        Fail(key, "belongs in a state file, not in a scenario");
      }
      Fail(Child(path, key), "unknown key");
    }
  }

  void RequireObject(const ordered_json& j, const std::string& path) const {
    if (!j.is_object()) Fail(path, "expected an object");
  }
  void RequireArray(const ordered_json& j, const std::string& path) const {
    if (!j.is_array()) Fail(path, "expected an array");
  }
  void RequireKeys(const ordered_json& j, const std::string& path,
                   std::initializer_list<const char*> keys) const {
    for (const char* key : keys) {
      if (!j.contains(key)) Fail(path, std::string("needs \"") + key + "\"");
    }
  }

  std::string Text(std::string_view utf8, const std::string& path) const {
    std::optional<std::string> text = Utf8ToCp1252(utf8);
    if (!text) Fail(path, "holds a character outside Windows-1252");
    if (source_ == WorldSource::kScenario) {
      std::string bad;
      std::optional<std::string> expanded = ExpandTodayPlaceholders(*text, today_, &bad);
      if (!expanded) {
        Fail(path,
             "bad date placeholder " + Quoted(bad) + " (use {today}, {today+N} or {today-N})");
      }
      return std::move(*expanded);
    }
    return std::move(*text);
  }

  std::string String(const ordered_json& j, const std::string& path) const {
    if (!j.is_string()) Fail(path, "expected a string");
    return Text(j.get_ref<const std::string&>(), path);
  }

  std::optional<std::string> OptionalString(const ordered_json& j, const std::string& path) const {
    if (j.is_null()) return std::nullopt;
    return String(j, path);
  }

  std::vector<std::string> Strings(const ordered_json& j, const std::string& path) const {
    RequireArray(j, path);
    std::vector<std::string> out;
    for (size_t i = 0; i < j.size(); ++i) out.push_back(String(j[i], Element(path, i)));
    return out;
  }

  // The key of an object as world text (keys are not dates, so no placeholders).
  std::string Key(const std::string& key, const std::string& path) const {
    std::optional<std::string> text = Utf8ToCp1252(key);
    if (!text) Fail(path, "key holds a character outside Windows-1252");
    return std::move(*text);
  }

  bool Bool(const ordered_json& j, const std::string& path) const {
    if (!j.is_boolean()) Fail(path, "expected true or false");
    return j.get<bool>();
  }

  int64_t Count(const ordered_json& j, const std::string& path) const {
    if (j.is_number_unsigned() &&
        j.get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
      return static_cast<int64_t>(j.get<uint64_t>());
    }
    if (j.is_number_integer() && j.get<int64_t>() >= 0) return j.get<int64_t>();
    Fail(path, "expected a whole number of 0 or more");
  }

  std::vector<std::string> AgentIds(const ordered_json& j, const std::string& path) const {
    std::vector<std::string> ids = Strings(j, path);
    for (size_t i = 0; i < ids.size(); ++i) {
      if (ids[i].empty()) Fail(Element(path, i), "an agent id may not be empty");
    }
    return ids;
  }

  SignOnAnswer SignOn(const ordered_json& j, const std::string& path) const {
    const std::string value = String(j, path);
    if (value == "normal") return SignOnAnswer::kNormal;
    if (value == "sister") return SignOnAnswer::kSister;
    if (value == "duty_code") return SignOnAnswer::kDutyCode;
    if (value == "none") return SignOnAnswer::kNone;
    Fail(path, Quoted(value) + " is not one of \"normal\", \"sister\", \"duty_code\", \"none\"");
  }

  void ReadPccs(const ordered_json& j, const std::string& path, World* world) const {
    RequireObject(j, path);
    for (const auto& [key, value] : j.items()) {
      const std::string at = Child(path, key);
      const std::string pcc = Key(key, at);
      if (!IsAlphanumeric(pcc)) Fail(at, "a PCC is written with letters and digits only");
      RequireObject(value, at);
      CheckKeys(value, at, {"emulation"});
      const bool emulation =
          value.contains("emulation") ? Bool(value["emulation"], Child(at, "emulation")) : true;
      world->pccs.Add(pcc, emulation);
    }
  }

  Pnr ReadPnr(const ordered_json& j, const std::string& path) const {
    RequireObject(j, path);
    CheckKeys(j, path,
              {"locator", "owner_pcc", "sine", "name", "di", "ci", "tau", "airlines", "ticketed",
               "notepad", "received_from"});
    RequireKeys(j, path, {"locator", "owner_pcc"});
    Pnr pnr;
    pnr.locator = String(j["locator"], Child(path, "locator"));
    if (pnr.locator.size() != 6 || !IsAlphanumeric(pnr.locator)) {
      Fail(Child(path, "locator"), Quoted(pnr.locator) + " is not 6 letters or digits");
    }
    pnr.owner_pcc = String(j["owner_pcc"], Child(path, "owner_pcc"));
    if (pnr.owner_pcc.empty()) Fail(Child(path, "owner_pcc"), "may not be empty");
    if (j.contains("sine")) {
      pnr.sine = String(j["sine"], Child(path, "sine"));
      if (pnr.sine.size() != 2)
        Fail(Child(path, "sine"), Quoted(pnr.sine) + " is not 2 characters");
    }
    if (j.contains("name")) pnr.name = String(j["name"], Child(path, "name"));
    if (j.contains("di")) pnr.di = Strings(j["di"], Child(path, "di"));
    if (j.contains("ci")) pnr.ci = OptionalString(j["ci"], Child(path, "ci"));
    if (j.contains("tau")) pnr.tau = OptionalString(j["tau"], Child(path, "tau"));
    if (j.contains("airlines")) {
      pnr.airlines = Strings(j["airlines"], Child(path, "airlines"));
      for (size_t i = 0; i < pnr.airlines.size(); ++i) {
        if (pnr.airlines[i].empty()) Fail(Element(Child(path, "airlines"), i), "may not be empty");
      }
    }
    if (j.contains("ticketed")) pnr.ticketed = Bool(j["ticketed"], Child(path, "ticketed"));
    if (j.contains("notepad")) pnr.notepad = Strings(j["notepad"], Child(path, "notepad"));
    if (j.contains("received_from")) {
      pnr.received_from = Strings(j["received_from"], Child(path, "received_from"));
    }
    return pnr;
  }

  void ReadPnrs(const ordered_json& j, const std::string& path, World* world) const {
    RequireArray(j, path);
    for (size_t i = 0; i < j.size(); ++i) {
      Pnr pnr = ReadPnr(j[i], Element(path, i));
      const std::string locator = pnr.locator;
      if (!world->pnrs.Add(locator, std::move(pnr))) {
        Fail(Child(Element(path, i), "locator"), Quoted(locator) + " appears twice");
      }
    }
  }

  void RequireKnownLocator(const World& world, const std::string& locator,
                           const std::string& path) const {
    if (!world.pnrs.Contains(locator)) Fail(path, "unknown locator " + Quoted(locator));
  }

  void ReadQueues(const ordered_json& j, const std::string& path, World* world) const {
    RequireObject(j, path);
    for (const auto& [key, value] : j.items()) {
      const std::string at = Child(path, key);
      QueueAddress queue;
      if (ParseQueueKey(*world, Key(key, at), &queue) != AddressCheck::kValid) {
        Fail(at,
             "bad queue key (expected PCC/number or PCC/number*category, the PCC one of pccs "
             "and the number 0-99)");
      }
      if (world->queues.Contains(queue.Key())) {
        Fail(at, "names the same queue as an earlier key (" + Quoted(queue.Key()) + ")");
      }
      std::vector<std::string> locators = Strings(value, at);
      std::unordered_set<std::string_view> seen;
      for (size_t i = 0; i < locators.size(); ++i) {
        RequireKnownLocator(*world, locators[i], Element(at, i));
        if (!seen.insert(locators[i]).second) {
          Fail(Element(at, i), Quoted(locators[i]) + " is on this queue twice");
        }
      }
      world->queues.Add(queue.Key(), std::move(locators));
    }
  }

  void ReadFaults(const ordered_json& j, const std::string& path, World* world) const {
    RequireObject(j, path);
    CheckKeys(j, path,
              {"refuse_move", "refuse_notepad", "busy_every", "sign_out_after", "blank_banner",
               "latency_ms", "drop_connection_after", "empty_answer_to", "script"});
    Faults& f = world->faults;
    if (j.contains("refuse_move")) {
      const std::string at = Child(path, "refuse_move");
      RequireObject(j["refuse_move"], at);
      for (const auto& [key, value] : j["refuse_move"].items()) {
        const std::string locator = Key(key, Child(at, key));
        RequireKnownLocator(*world, locator, Child(at, key));
        f.refuse_move.Add(locator, Count(value, Child(at, key)));
      }
    }
    if (j.contains("refuse_notepad")) {
      const std::string at = Child(path, "refuse_notepad");
      f.refuse_notepad = Strings(j["refuse_notepad"], at);
      for (size_t i = 0; i < f.refuse_notepad.size(); ++i) {
        RequireKnownLocator(*world, f.refuse_notepad[i], Element(at, i));
      }
    }
    const auto count = [&](const char* key, int64_t* out) {
      if (j.contains(key)) *out = Count(j[key], Child(path, key));
    };
    count("busy_every", &f.busy_every);
    count("sign_out_after", &f.sign_out_after);
    count("latency_ms", &f.latency_ms);
    count("drop_connection_after", &f.drop_connection_after);
    if (f.latency_ms > kMaxLatencyMs) {
      Fail(Child(path, "latency_ms"), "at most " + std::to_string(kMaxLatencyMs));
    }
    if (j.contains("blank_banner")) {
      f.blank_banner = Bool(j["blank_banner"], Child(path, "blank_banner"));
    }
    if (j.contains("empty_answer_to")) {
      f.empty_answer_to = Strings(j["empty_answer_to"], Child(path, "empty_answer_to"));
    }
    if (j.contains("script")) f.script = Script(j["script"], Child(path, "script"));
  }

  std::vector<ScriptItem> Script(const ordered_json& j, const std::string& path) const {
    RequireArray(j, path);
    std::vector<ScriptItem> script(j.size());
    for (size_t i = 0; i < j.size(); ++i) {
      const std::string at = Element(path, i);
      RequireObject(j[i], at);
      CheckKeys(j[i], at, {"prefix", "skip", "times", "lines"});
      RequireKeys(j[i], at, {"prefix", "lines"});
      script[i].prefix = String(j[i]["prefix"], Child(at, "prefix"));
      if (j[i].contains("skip")) script[i].skip = Count(j[i]["skip"], Child(at, "skip"));
      if (j[i].contains("times")) script[i].times = Count(j[i]["times"], Child(at, "times"));
      script[i].lines = Strings(j[i]["lines"], Child(at, "lines"));
    }
    return script;
  }

  void ReadEmulatedPcc(const ordered_json& j, World* world) const {
    world->emulated_pcc = OptionalString(j, "emulated_pcc");
    if (world->emulated_pcc && !world->pccs.Contains(*world->emulated_pcc)) {
      Fail("emulated_pcc", "unknown PCC " + Quoted(*world->emulated_pcc));
    }
  }

  const WorldSource source_;
  const sys_days today_;
};

}  // namespace

std::optional<World> ReadWorld(std::string_view json, WorldSource source, sys_days today,
                               std::string* error) {
  const std::optional<ordered_json> doc = ParseStrictJson(json, error);
  if (!doc) return std::nullopt;
  try {
    return WorldReader(source, today).Read(*doc);
  } catch (const BadWorld& bad) {
    *error = bad.message;
    return std::nullopt;
  }
}

}  // namespace ambervale::sim

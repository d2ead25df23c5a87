#include "testing/sim_world.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/files.h"
#include "testing/golden.h"

namespace ambervale::testing {
namespace {

constexpr std::string_view kCr = "<CARRIAGE_RETURN/>";

std::string Joined(const std::vector<std::string>& items, std::string_view separator) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : std::string(separator)) + item;
  return out;
}

std::vector<std::string> LinesOf(std::string_view text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

}  // namespace

std::string BasicScenarioPath() { return SourceFile("sim/testdata/basic.json"); }

std::string BasicScenario() { return ReadFile(BasicScenarioPath()).value_or(""); }

std::string BasicWith(std::string_view from, std::string_view to) {
  std::string scenario = BasicScenario();
  const size_t at = scenario.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? scenario : scenario.replace(at, from.size(), to);
}

std::string BasicWithFaults(std::string_view faults) {
  return BasicWith("\"faults\": {}", "\"faults\": " + std::string(faults));
}

std::string ScenarioWithQueueOf(int count) {
  nlohmann::json pnrs = nlohmann::json::array();
  nlohmann::json queue = nlohmann::json::array();
  for (int n = 1; n <= count; ++n) {
    std::string locator = std::to_string(n);
    locator = "P" + std::string(5 - locator.size(), '0') + locator;
    pnrs.push_back({{"locator", locator},
                    {"owner_pcc", "ABC1"},
                    {"name", "NAME" + std::to_string(n) + "/TEST MR"}});
    queue.push_back(locator);
  }
  return nlohmann::json({{"agent_ids", {"1234"}},
                         {"signed_in", true},
                         {"pccs", {{"ABC1", nlohmann::json::object()}}},
                         {"pnrs", pnrs},
                         {"queues", {{"ABC1/12", queue}}}})
      .dump();
}

std::string Cr(std::string_view text) { return std::string(text) + std::string(kCr); }

std::vector<std::string> Cr(std::initializer_list<std::string_view> texts) {
  std::vector<std::string> lines;
  for (const std::string_view t : texts) lines.push_back(Cr(t));
  return lines;
}

namespace {

std::string TranscriptLines(const sim::SimHost::Answer& answer) {
  if (answer.dropped) return "(dropped)\n";
  std::string out;
  for (const std::string& line : answer.lines) {
    std::string text = line.ends_with(kCr) ? line.substr(0, line.size() - kCr.size()) : line + "%";
    out += text + (text.ends_with(' ') ? "|\n" : "\n");
  }
  return out;
}

}  // namespace

SimWorld::SimWorld(std::string_view scenario) {
  Status status;
  host_ = sim::SimHost::FromScenarioText(scenario, env_, &status);
  if (!host_) ADD_FAILURE() << status.message();
}

std::string SimWorld::Replay(std::string_view transcript) {
  if (!host_) return std::string(transcript);
  std::string out;
  bool keep = true;  // the lines after "~ ENTRY" stay as written
  for (const std::string& line : LinesOf(transcript)) {
    const std::string rest = line.size() > 2 ? line.substr(2) : "";
    if (line.starts_with("> ") || line.starts_with("~ ")) {
      const std::string answer = TranscriptLines(host_->Enter(rest));
      out += line + "\n" + (line[0] == '>' ? answer : "");
      keep = line[0] == '~';
    } else if (line.starts_with("= ")) {
      const std::string what = rest.substr(0, rest.find(':'));
      const std::string value = State(what);
      out += "= " + what + ":" + (value.empty() ? "" : " " + value) + "\n";
      keep = false;
    } else if (line.starts_with("@ ")) {
      env_.SetNow(std::stoi(rest.substr(0, 4)), std::stoi(rest.substr(5, 2)),
                  std::stoi(rest.substr(8, 2)));
      out += line + "\n";
      keep = false;
    } else if (line.starts_with("#") || keep) {
      out += line + "\n";
    }
  }
  return out;
}

void PlayTranscriptFile(const std::string& name) {
  const std::string file = "sim/testdata/transcripts/" + name;
  const std::vector<std::string> lines = LinesOf(ReadFile(SourceFile(file)).value_or(""));
  std::string out;
  for (size_t i = 0; i < lines.size();) {
    const std::string& head = lines[i];
    std::string scenario = BasicScenario();
    if (head.starts_with("! queue ")) {
      scenario = ScenarioWithQueueOf(std::stoi(head.substr(8)));
    } else if (head.starts_with("! faults ")) {
      scenario = BasicWithFaults(head.substr(9));
    } else if (head.starts_with("! scenario ")) {
      scenario = head.substr(11);
    } else if (head.starts_with("! with ")) {
      const size_t arrow = head.find(" => ");
      scenario = BasicWith(head.substr(7, arrow - 7), head.substr(arrow + 4));
    } else if (head != "! basic") {
      ADD_FAILURE() << file << " line " << i + 1 << ": a world begins with \"! \"";
      return;
    }
    size_t end = i + 1;
    while (end < lines.size() && !lines[end].starts_with("! ")) ++end;
    std::string transcript;
    for (size_t j = i + 1; j < end; ++j) transcript += lines[j] + "\n";
    SimWorld world(scenario);
    out += head + "\n" + world.Replay(transcript);
    i = end;
  }
  ExpectGolden(file, out);
}

std::string SimWorld::State(std::string_view what) const {
  const sim::World& w = world();
  const size_t blank = what.find(' ');
  const std::string key(what.substr(0, blank));
  const std::string arg(blank == std::string_view::npos ? "" : what.substr(blank + 1));
  const sim::Pnr* pnr = w.pnrs.Find(arg);
  if (key == "queue") {
    const auto* queue = w.queues.Find(arg);
    return queue == nullptr ? "(none)" : Joined(*queue, " ");
  }
  if (key == "notepad" && pnr) return Joined(pnr->notepad, "|");
  if (key == "received" && pnr) return Joined(pnr->received_from, "|");
  if (key == "tau" && pnr) return pnr->tau.value_or("(none)");
  if (key == "emulated") return w.emulated_pcc.value_or("(none)");
  if (key == "signed_in") return w.signed_in ? "yes" : "no";
  if (key == "entries") return std::to_string(w.entries);
  if (key == "refuse_move") {
    const int64_t* left = w.faults.refuse_move.Find(arg);
    return left == nullptr ? "(none)" : std::to_string(*left);
  }
  if (key == "sleeps") {
    std::vector<std::string> sleeps;
    for (const int64_t ms : env_.sleeps()) sleeps.push_back(std::to_string(ms));
    return Joined(sleeps, " ");
  }
  return "(unknown: " + std::string(what) + ")";
}

}  // namespace ambervale::testing

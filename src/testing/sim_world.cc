#include "testing/sim_world.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "testing/golden.h"

namespace ambervale::testing {
namespace {

constexpr std::string_view kCr = "<CARRIAGE_RETURN/>";

template <typename Items>
std::string Joined(const Items& items, std::string_view separator) {
  std::string out;
  for (const auto& item : items) {
    if (!out.empty()) out += separator;
    if constexpr (std::is_integral_v<std::decay_t<decltype(item)>>) {
      out += std::to_string(item);
    } else {
      out += item;
    }
  }
  return out;
}

// The scenario a transcript's world line names (see PlayTranscriptFile).
std::string ScenarioOf(const std::string& head) {
  if (head.starts_with("! queue ")) return ScenarioWithQueueOf(std::stoi(head.substr(8)));
  if (head.starts_with("! faults ")) return BasicWithFaults(head.substr(9));
  if (head.starts_with("! scenario ")) return head.substr(11);
  const size_t arrow = head.find(" => ");
  if (head.starts_with("! with "))
    return BasicWith(head.substr(7, arrow - 7), head.substr(arrow + 4));
  EXPECT_EQ(head, "! basic");
  return BasicScenario();
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
  std::string pnrs;
  std::string queue;
  for (int n = 1; n <= count; ++n) {
    const std::string digits = std::to_string(n);
    const std::string locator = "P" + std::string(5 - digits.size(), '0') + digits;
    pnrs += std::string(n > 1 ? ", " : "") + R"({"locator": ")" + locator +
            R"(", "owner_pcc": "ABC1", "name": "NAME)" + digits + R"(/TEST MR"})";
    queue += std::string(n > 1 ? ", \"" : "\"") + locator + "\"";
  }
  return R"({"agent_ids": ["1234"], "signed_in": true, "pccs": {"ABC1": {}}, "pnrs": [)" + pnrs +
         R"(], "queues": {"ABC1/12": [)" + queue + "]}}";
}

std::string Cr(std::string_view text) { return std::string(text) + std::string(kCr); }

std::vector<std::string> Cr(std::initializer_list<std::string_view> texts) {
  std::vector<std::string> lines;
  for (const std::string_view t : texts) lines.push_back(Cr(t));
  return lines;
}

SimWorld::SimWorld(std::string_view scenario) {
  Status status;
  host_ = sim::SimHost::FromScenarioText(scenario, env_, &status);
  if (!host_) ADD_FAILURE() << status.message();
}

std::string SimWorld::Replay(const std::string& line) {
  const std::string rest = line.size() > 2 ? line.substr(2) : "";
  if (!host_ || line.starts_with("#") ||
      (keep_ && !line.starts_with("> ") && !line.starts_with("~ ") && !line.starts_with("= ") &&
       !line.starts_with("@ "))) {
    return line + "\n";
  }
  keep_ = line.starts_with("~ ");
  if (line.starts_with("> ") || keep_) {
    const sim::SimHost::Answer answer = host_->Enter(rest);
    std::string out = line + "\n";
    if (answer.dropped && !keep_) out += "(dropped)\n";
    for (const std::string& l : keep_ ? std::vector<std::string>{} : answer.lines) {
      const std::string text = l.ends_with(kCr) ? l.substr(0, l.size() - kCr.size()) : l + "%";
      out += text + (text.ends_with(' ') ? "|\n" : "\n");
    }
    return out;
  }
  if (line.starts_with("@ ")) {
    env_.SetNow(std::stoi(rest.substr(0, 4)), std::stoi(rest.substr(5, 2)),
                std::stoi(rest.substr(8, 2)));
    return line + "\n";
  }
  if (!line.starts_with("= ")) return "";  // an answer written before: replaced
  const std::string what = rest.substr(0, rest.find(':'));
  const std::string value = State(what);
  return "= " + what + ":" + (value.empty() ? "" : " " + value) + "\n";
}

void PlayTranscriptFile(const std::string& name) {
  const std::string file = "sim/testdata/transcripts/" + name;
  const std::string text = ReadFile(SourceFile(file)).value_or("");
  std::unique_ptr<SimWorld> world;
  std::string out;
  for (size_t at = 0, end; at < text.size(); at = end + 1) {
    end = std::min(text.find('\n', at), text.size());
    const std::string line = text.substr(at, end - at);
    if (line.starts_with("! ")) world = std::make_unique<SimWorld>(ScenarioOf(line));
    out += line.starts_with("! ") || !world ? line + "\n" : world->Replay(line);
  }
  ExpectGolden(file, out);
}

std::string SimWorld::State(std::string_view what) const {
  const sim::World& w = world();
  const size_t blank = what.find(' ');
  const std::string key(what.substr(0, blank));
  const std::string arg(blank == std::string_view::npos ? "" : what.substr(blank + 1));
  const sim::Pnr* pnr = w.pnrs.Find(arg);
  const auto* queue = w.queues.Find(arg);
  const int64_t* refusals = w.faults.refuse_move.Find(arg);
  if (key == "queue") return queue == nullptr ? "(none)" : Joined(*queue, " ");
  if (key == "notepad" && pnr) return Joined(pnr->notepad, "|");
  if (key == "received" && pnr) return Joined(pnr->received_from, "|");
  if (key == "tau" && pnr) return pnr->tau.value_or("(none)");
  if (key == "emulated") return w.emulated_pcc.value_or("(none)");
  if (key == "signed_in") return w.signed_in ? "yes" : "no";
  if (key == "entries") return std::to_string(w.entries);
  if (key == "refuse_move") return refusals == nullptr ? "(none)" : std::to_string(*refusals);
  if (key == "sleeps") return Joined(env_.sleeps(), " ");
  return "(unknown: " + std::string(what) + ")";
}

}  // namespace ambervale::testing

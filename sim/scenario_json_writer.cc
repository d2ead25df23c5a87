// The state file's writer (WriteWorld of scenario_json.h): every field of the world.
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/cp1252.h"
#include "sim/scenario_json.h"

namespace ambervale::sim {
namespace {

using nlohmann::ordered_json;

ordered_json Utf8(std::string_view text) { return Cp1252ToUtf8(text); }

ordered_json Utf8List(const std::vector<std::string>& texts) {
  ordered_json list = ordered_json::array();
  for (const std::string& text : texts) list.push_back(Utf8(text));
  return list;
}

ordered_json OptionalUtf8(const std::optional<std::string>& text) {
  return text ? Utf8(*text) : ordered_json(nullptr);
}

const char* SignOnName(SignOnAnswer answer) {
  switch (answer) {
    case SignOnAnswer::kNormal:
      return "normal";
    case SignOnAnswer::kSister:
      return "sister";
    case SignOnAnswer::kDutyCode:
      return "duty_code";
    case SignOnAnswer::kNone:
      return "none";
  }
  return "normal";
}

ordered_json PnrJson(const Pnr& pnr) {
  ordered_json j;
  j["locator"] = Utf8(pnr.locator);
  j["owner_pcc"] = Utf8(pnr.owner_pcc);
  j["sine"] = Utf8(pnr.sine);
  j["name"] = Utf8(pnr.name);
  j["di"] = Utf8List(pnr.di);
  j["ci"] = OptionalUtf8(pnr.ci);
  j["tau"] = OptionalUtf8(pnr.tau);
  j["airlines"] = Utf8List(pnr.airlines);
  j["ticketed"] = pnr.ticketed;
  j["notepad"] = Utf8List(pnr.notepad);
  j["received_from"] = Utf8List(pnr.received_from);
  return j;
}

ordered_json FaultsJson(const Faults& f) {
  ordered_json refuse_move = ordered_json::object();
  for (const auto& [locator, count] : f.refuse_move) refuse_move[Cp1252ToUtf8(locator)] = count;
  ordered_json j;
  j["refuse_move"] = std::move(refuse_move);
  j["refuse_notepad"] = Utf8List(f.refuse_notepad);
  j["busy_every"] = f.busy_every;
  j["sign_out_after"] = f.sign_out_after;
  j["blank_banner"] = f.blank_banner;
  j["latency_ms"] = f.latency_ms;
  j["drop_connection_after"] = f.drop_connection_after;
  j["empty_answer_to"] = Utf8List(f.empty_answer_to);
  j["script"] = ordered_json::array();
  for (const ScriptItem& item : f.script) {
    j["script"].push_back({{"prefix", Utf8(item.prefix)},
                           {"skip", item.skip},
                           {"times", item.times},
                           {"lines", Utf8List(item.lines)}});
  }
  return j;
}

}  // namespace

std::string WriteWorld(const World& world) {
  ordered_json j;
  j["agent_ids"] = Utf8List(world.agent_ids);
  j["signed_in"] = world.signed_in;
  j["sign_on_answer"] = SignOnName(world.sign_on_answer);
  ordered_json pccs = ordered_json::object();
  for (const auto& [pcc, emulation] : world.pccs) {
    pccs[Cp1252ToUtf8(pcc)] = ordered_json{{"emulation", emulation}};
  }
  j["pccs"] = std::move(pccs);
  ordered_json pnrs = ordered_json::array();
  for (const auto& [locator, pnr] : world.pnrs) pnrs.push_back(PnrJson(pnr));
  j["pnrs"] = std::move(pnrs);
  ordered_json queues = ordered_json::object();
  for (const auto& [key, locators] : world.queues) queues[Cp1252ToUtf8(key)] = Utf8List(locators);
  j["queues"] = std::move(queues);
  j["faults"] = FaultsJson(world.faults);
  j["emulated_pcc"] = OptionalUtf8(world.emulated_pcc);
  j["entries"] = world.entries;
  return j.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace ambervale::sim

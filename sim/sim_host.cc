#include "sim/sim_host.h"

#include <optional>
#include <utility>

#include "platform/classic_text.h"
#include "platform/files.h"
#include "sim/day_month.h"
#include "sim/entries.h"
#include "sim/scenario_json.h"

namespace ambervale::sim {
namespace {

constexpr std::string_view kFormatOpen = "<FORMAT>";
constexpr std::string_view kFormatClose = "</FORMAT>";

std::string_view WithoutTrailingBlanks(std::string_view text) {
  const size_t end = text.find_last_not_of(" \r\n");
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

bool NeedsNoSignOn(std::string_view entry) { return entry == "OP/W*" || entry.starts_with("SON/"); }

// The scripted answer to `entry`: from the first unspent item of `script` whose prefix starts
// the entry, once that item has no entries left to skip. Sets `counted` when an item's counts
// went down (the state file is then due).
std::optional<Screen> ScriptedAnswer(std::vector<ScriptItem>& script, std::string_view entry,
                                     bool* counted) {
  for (ScriptItem& item : script) {
    if (item.times <= 0 || !entry.starts_with(item.prefix)) continue;
    *counted = true;
    if (item.skip > 0) {
      --item.skip;
      return std::nullopt;
    }
    --item.times;
    Screen screen;
    for (const std::string& line : item.lines) screen.AddBare(line);
    return screen;
  }
  return std::nullopt;
}

std::unique_ptr<SimHost> Refuse(Status* error, std::string message) {
  *error = Status::Error(std::move(message));
  return nullptr;
}

}  // namespace

std::string EntryOfRequest(std::string_view request) {
  std::string_view text = WithoutTrailingBlanks(request);
  if (text.size() >= kFormatOpen.size() + kFormatClose.size() && text.starts_with(kFormatOpen) &&
      text.ends_with(kFormatClose)) {
    text = text.substr(kFormatOpen.size(), text.size() - kFormatOpen.size() - kFormatClose.size());
    return std::string(WithoutTrailingBlanks(Replace(text, "&amp;", "&")));
  }
  return std::string(text);
}

std::string PathFromFolder(std::string_view folder, std::string_view path) {
  if (path.empty() || path.front() == '/') return std::string(path);
  return JoinPath(folder, path);
}

SimHost::SimHost(World world, std::string state_path, Env& env)
    : world_(std::move(world)), state_path_(std::move(state_path)), env_(env) {
  if (world_.signed_in && !world_.agent_ids.empty()) session_.agent_id = world_.agent_ids.front();
}

std::unique_ptr<SimHost> SimHost::Open(const std::string& scenario_path,
                                       const std::string& state_path, Env& env, Status* error) {
  const bool from_state = !state_path.empty() && FileExists(state_path);
  const std::string& path = from_state ? state_path : scenario_path;
  const std::optional<std::string> text = ReadFile(path);
  if (!text) {
    return Refuse(
        error,
        std::string(from_state ? "cannot read state file " : "cannot read scenario file ") + path);
  }
  std::string why;
  std::optional<World> world =
      ReadWorld(*text, from_state ? WorldSource::kState : WorldSource::kScenario,
                DayOf(env.LocalNow()), &why);
  if (!world) return Refuse(error, path + ": " + why);
  std::unique_ptr<SimHost> host(new SimHost(std::move(*world), state_path, env));
  if (Status saved = host->Save(); !saved.ok()) return Refuse(error, saved.message());
  *error = Status::Ok();
  return host;
}

std::unique_ptr<SimHost> SimHost::FromScenarioText(std::string_view json, Env& env, Status* error) {
  std::string why;
  std::optional<World> world = ReadWorld(json, WorldSource::kScenario, DayOf(env.LocalNow()), &why);
  if (!world) return Refuse(error, "scenario: " + why);
  *error = Status::Ok();
  return std::unique_ptr<SimHost>(new SimHost(std::move(*world), "", env));
}

bool SimHost::AnswersEmpty(std::string_view entry) const {
  for (const std::string& prefix : world_.faults.empty_answer_to) {
    if (entry.starts_with(prefix)) return true;
  }
  return false;
}

SimHost::Answer SimHost::Enter(std::string_view raw_entry) {
  const std::string_view entry = WithoutTrailingBlanks(raw_entry);
  Faults& faults = world_.faults;
  Answer answer;
  if (faults.drop_connection_after > 0 && world_.entries + 1 == faults.drop_connection_after) {
    faults.drop_connection_after = 0;
    answer.dropped = true;
    answer.saved = Save();
    return answer;
  }
  const int64_t number = ++world_.entries;
  HostContext ctx{world_, session_, DayOf(env_.LocalNow())};
  Screen screen;
  if (faults.busy_every > 0 && number % faults.busy_every == 0) {
    screen = Screen("PREVIOUS ENTRY IN PROGRESS");
  } else if (std::optional<Screen> scripted = ScriptedAnswer(faults.script, entry, &ctx.changed)) {
    screen = std::move(*scripted);
  } else if (AnswersEmpty(entry)) {
    // No lines, nothing carried out.
  } else if (!world_.signed_in && !NeedsNoSignOn(entry)) {
    screen = Screen("SIGN IN");
  } else {
    screen = AnswerEntry(ctx, entry);
  }
  if (faults.sign_out_after > 0 && number == faults.sign_out_after) {
    faults.sign_out_after = 0;
    ctx.EndSession();
  }
  if (faults.latency_ms > 0) env_.SleepMs(faults.latency_ms);
  answer.lines = screen.TakeLines();
  if (ctx.changed) answer.saved = Save();
  return answer;
}

SimHost::Answer SimHost::Request(std::string_view request) {
  return Enter(EntryOfRequest(request));
}

Status SimHost::Stop() { return Save(); }

Status SimHost::Save() {
  if (state_path_.empty()) return Status::Ok();
  if (!WriteFileAtomically(state_path_, WriteWorld(world_))) {
    return Status::Error("cannot write state file " + state_path_);
  }
  return Status::Ok();
}

}  // namespace ambervale::sim

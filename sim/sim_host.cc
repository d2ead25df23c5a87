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
// the entry, once that item has no entries left to skip. The counts left are world state: the
// journal's replay of the entry spends them again.
std::optional<Screen> ScriptedAnswer(std::vector<ScriptItem>& script, std::string_view entry) {
  for (ScriptItem& item : script) {
    if (item.times <= 0 || !entry.starts_with(item.prefix)) continue;
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

// A host that starts (or starts again) is out of queue mode with nothing pending; a world
// signed in is signed in with its first agent id.
Session StartingSession(const World& world) {
  Session session;
  if (world.signed_in && !world.agent_ids.empty()) session.agent_id = world.agent_ids.front();
  return session;
}

std::chrono::sys_days TodayOf(const HostOptions& options, Env& env) {
  return options.today.value_or(DayOf(env.LocalNow()));
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

SimHost::SimHost(World world, Env& env, const HostOptions& options)
    : world_(std::move(world)), session_(StartingSession(world_)), env_(env), options_(options) {}

std::unique_ptr<SimHost> SimHost::Open(const std::string& scenario_path,
                                       const std::string& state_path, Env& env, Status* error,
                                       const HostOptions& options) {
  auto store = state_path.empty() ? nullptr
                                  : std::make_unique<StateStore>(state_path, options.journal_bound);
  if (store != nullptr && FileExists(state_path)) {
    return Reopen(std::move(store), env, options, true, error);
  }
  const std::optional<std::string> text = ReadFile(scenario_path);
  if (!text) return Refuse(error, "cannot read scenario file " + scenario_path);
  std::string why;
  std::optional<World> world =
      ReadWorld(*text, WorldSource::kScenario, TodayOf(options, env), &why);
  if (!world) return Refuse(error, scenario_path + ": " + why);
  std::unique_ptr<SimHost> host(new SimHost(std::move(*world), env, options));
  if (store != nullptr) {
    if (Status kept = store->Compact(host->world_, host->session_); !kept.ok()) {
      return Refuse(error, kept.message());
    }
    host->store_ = std::move(store);
  }
  *error = Status::Ok();
  return host;
}

std::unique_ptr<SimHost> SimHost::Reopen(std::unique_ptr<StateStore> store, Env& env,
                                         const HostOptions& options, bool keep, Status* error) {
  std::string why;
  std::optional<StateStore::Kept> kept = store->Load(TodayOf(options, env), &why);
  if (!kept) return Refuse(error, why);
  std::unique_ptr<SimHost> host(new SimHost(std::move(kept->world), env, options));
  host->session_ = std::move(kept->session);
  for (size_t i = 0; i < kept->records.size(); ++i) {
    if (!host->Replay(kept->records[i], &why)) {
      return Refuse(error,
                    store->journal_path() + ": record " + std::to_string(i + 1) + ": " + why);
    }
  }
  host->session_ = StartingSession(host->world_);
  host->notes_ = std::move(kept->notes);
  *error = Status::Ok();
  if (!keep) return host;
  const Status kept_again = kept->records.empty() ? store->StartJournal(host->session_)
                                                  : store->Compact(host->world_, host->session_);
  if (!kept_again.ok()) return Refuse(error, kept_again.message());
  host->store_ = std::move(store);
  return host;
}

std::optional<World> SimHost::ReadKeptWorld(const std::string& state_path, Env& env,
                                            Status* error) {
  std::unique_ptr<SimHost> host =
      Reopen(std::make_unique<StateStore>(state_path, 0), env, HostOptions{}, false, error);
  if (host == nullptr) return std::nullopt;
  return std::move(host->world_);
}

std::unique_ptr<SimHost> SimHost::FromScenarioText(std::string_view json, Env& env, Status* error) {
  std::string why;
  std::optional<World> world = ReadWorld(json, WorldSource::kScenario, DayOf(env.LocalNow()), &why);
  if (!world) return Refuse(error, "scenario: " + why);
  *error = Status::Ok();
  return std::unique_ptr<SimHost>(new SimHost(std::move(*world), env, HostOptions{}));
}

bool SimHost::AnswersEmpty(std::string_view entry) const {
  for (const std::string& prefix : world_.faults.empty_answer_to) {
    if (entry.starts_with(prefix)) return true;
  }
  return false;
}

SimHost::Answer SimHost::Enter(std::string_view raw_entry) {
  const std::string_view entry = WithoutTrailingBlanks(raw_entry);
  const std::chrono::sys_days today = TodayOf(options_, env_);
  const int64_t entries_before = world_.entries;
  Answer answer = Execute(entry, today, true);
  if (store_ != nullptr) answer.saved = Keep({entries_before, today, std::string(entry)});
  return answer;
}

SimHost::Answer SimHost::Execute(std::string_view entry, std::chrono::sys_days today, bool live) {
  Faults& faults = world_.faults;
  Answer answer;
  if (faults.drop_connection_after > 0 && world_.entries + 1 == faults.drop_connection_after) {
    faults.drop_connection_after = 0;
    answer.dropped = true;
    return answer;
  }
  const int64_t number = ++world_.entries;
  HostContext ctx{world_, session_, today};
  Screen screen;
  if (faults.busy_every > 0 && number % faults.busy_every == 0) {
    screen = Screen("PREVIOUS ENTRY IN PROGRESS");
  } else if (std::optional<Screen> scripted = ScriptedAnswer(faults.script, entry)) {
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
  if (live && faults.latency_ms > 0) env_.SleepMs(faults.latency_ms);
  answer.lines = screen.TakeLines();
  return answer;
}

bool SimHost::Replay(const JournalRecord& record, std::string* why) {
  if (record.entries_before != world_.entries) {
    *why = "it came after entry " + std::to_string(record.entries_before) +
           ", the world is at entry " + std::to_string(world_.entries);
    return false;
  }
  (void)Execute(record.entry, record.day, false);
  return true;
}

Status SimHost::Keep(const JournalRecord& record) {
  if (Status appended = store_->Append(record); !appended.ok()) return appended;
  return store_->CompactionDue() ? store_->Compact(world_, session_) : Status::Ok();
}

SimHost::Answer SimHost::Request(std::string_view request) {
  return Enter(EntryOfRequest(request));
}

Status SimHost::Stop() {
  if (store_ == nullptr || store_->records() == 0) return Status::Ok();
  return store_->Compact(world_, session_);
}

}  // namespace ambervale::sim

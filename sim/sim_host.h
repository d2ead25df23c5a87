#pragma once

// The simulated reservation host: one world with its one terminal session, answering
// terminal entries. It applies the scenario's faults (busy answers, empty answers, sign-out,
// latency, dropped connections), counts the entries, and keeps the state file up to date
// when it has one, so that the world outlives the program as a real host does.
//
// Used from one thread; every terminal object and network connection shares the one SimHost.
// Nothing here throws to the caller: failures are Status values.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"
#include "platform/status.h"
#include "sim/host_context.h"
#include "sim/world.h"

namespace ambervale::sim {

class SimHost {
 public:
  // The world of the state file at `state_path` when that file exists, else of the scenario
  // at `scenario_path`. With a state path the state file is written at once. Paths are used
  // as given (a relative one from the working directory); callers resolve them first. `env`
  // gives today's date and the latency sleeps, and must outlive the host. nullptr with
  // `error` set (naming the file and the key or line) when nothing usable was read.
  static std::unique_ptr<SimHost> Open(const std::string& scenario_path,
                                       const std::string& state_path, Env& env, Status* error);
  // A world from scenario text, without a state file (tests and benchmarks).
  static std::unique_ptr<SimHost> FromScenarioText(std::string_view json, Env& env, Status* error);

  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;
  ~SimHost() = default;

  struct Answer {
    std::vector<std::string> lines;  // with their markup
    // drop_connection_after fired: the entry was neither carried out nor counted, and the
    // connection that carried it is to be closed without an answer.
    bool dropped = false;
    // The state file write this entry made due; ok when none was due or it succeeded.
    Status saved;
  };

  // Answers one bare entry (trailing blanks, CR and LF are ignored).
  Answer Enter(std::string_view entry);
  // Answers a request as the terminal object sends it: "<FORMAT>" + entry with "&" written
  // "&amp;" + "</FORMAT>", or a bare entry.
  Answer Request(std::string_view request);

  // Writes the state file (when there is one) with the entry count brought up to date.
  [[nodiscard]] Status Stop();

  const World& world() const { return world_; }
  const std::string& state_path() const { return state_path_; }

 private:
  SimHost(World world, std::string state_path, Env& env);

  [[nodiscard]] Status Save();
  bool AnswersEmpty(std::string_view entry) const;

  World world_;
  Session session_;
  std::string state_path_;  // empty: no state file
  Env& env_;
};

// `path` as the in-process simulator takes its files: an absolute path as it is, a relative
// one from `folder` (the program's folder); an empty path stays empty (no state file).
std::string PathFromFolder(std::string_view folder, std::string_view path);

// The entry a request carries: unwrapped from "<FORMAT>...</FORMAT>" with "&amp;" turned
// back into "&" (a bare request is taken as it is), trailing blanks, CR and LF removed.
std::string EntryOfRequest(std::string_view request);

}  // namespace ambervale::sim

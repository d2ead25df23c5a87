#pragma once

// The simulated host in process for tests: a SimHost over a scenario text on a fake clock
// (today is 2026-12-06), and transcripts of entries with the answers and world state each
// gives, so a screen rule reads as the operator would see it.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_host.h"
#include "testing/fake_env.h"

namespace ambervale::testing {

// sim/testdata/basic.json: its path and its text.
std::string BasicScenarioPath();
std::string BasicScenario();
// The basic scenario with `from` (its first occurrence) replaced by `to`.
std::string BasicWith(std::string_view from, std::string_view to);
// The basic scenario with these faults ("{...}").
std::string BasicWithFaults(std::string_view faults);
// A signed-in scenario whose PCC ABC1 has queue 12 holding `count` PNRs P00001, P00002, ...
// named NAME{n}/TEST MR.
std::string ScenarioWithQueueOf(int count);

// `text` + "<CARRIAGE_RETURN/>".
std::string Cr(std::string_view text);
std::vector<std::string> Cr(std::initializer_list<std::string_view> texts);

class SimWorld {
 public:
  explicit SimWorld(std::string_view scenario = BasicScenario());

  // One line of a transcript replayed: the text it stands for with the host's answer and the
  // world's state in place of the written ones. The items:
  //   > ENTRY       sends ENTRY; its answer follows, a line each, without "<CARRIAGE_RETURN/>"
  //                 (a line that has none ends in "%", one ending in a blank gets a "|"; a
  //                 dropped connection answers "(dropped)")
  //   ~ ENTRY       sends ENTRY; the lines after it stay as written
  //   = WHAT: V     the world's WHAT (see State)
  //   @ YYYY-MM-DD  the fake clock's date from now on
  //   # ...         a comment
  std::string Replay(const std::string& line);
  // The world as a transcript's "=" line reads it: "queue ABC1/12" (locators, blank
  // separated), "notepad L" / "received L" ("|" separated), "tau L", "emulated", "signed_in",
  // "entries", "sleeps" (the fake clock's waits), "refuse_move L".
  std::string State(std::string_view what) const;

  sim::SimHost& host() { return *host_; }
  const sim::World& world() const { return host_->world(); }
  FakeEnv& env() { return env_; }

 private:
  FakeEnv env_;
  std::unique_ptr<sim::SimHost> host_;
  bool keep_ = false;  // the lines after "~ ENTRY" stay
};

// Replays the transcript file sim/testdata/transcripts/`name` and compares it whole (see
// golden.h for rewriting it). It holds worlds, each begun by a line
//   ! basic | ! queue N | ! faults {...} | ! with FROM => TO | ! scenario {...}
// (the basic scenario, changed, or a scenario of its own) and followed by its transcript.
void PlayTranscriptFile(const std::string& name);

}  // namespace ambervale::testing

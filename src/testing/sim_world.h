#pragma once

// The simulated host in process for tests: a SimHost over a scenario text on a fake clock
// (today is 2026-12-06), and transcripts of entries with the answers and world state each
// must give, so a screen rule reads as the operator would see it.

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

  // The answer's lines to `entry` (bare).
  std::vector<std::string> Enter(std::string_view entry);
  // Plays a transcript, one item a line:
  //   > ENTRY     sends ENTRY; the lines up to the next item are its answer, each line
  //               without its "<CARRIAGE_RETURN/>" (a line that has none ends in "%", one
  //               that ends in a blank gets a "|"; a dropped connection answers "(dropped)")
  //   ~ ENTRY     sends ENTRY, whatever the answer
  //   = WHAT: V   the world's WHAT reads V (see State)
  //   # ...       a comment
  // Each difference is a test failure naming the transcript's line.
  void Play(std::string_view transcript);
  // The same, giving the transcript with the host's answers in place of the written ones.
  std::string Replay(std::string_view transcript);
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
};

// Plays a transcript file of sim/testdata/transcripts: worlds, each begun by a line
//   ! basic | ! queue N | ! faults {...} | ! with FROM => TO   (the basic scenario changed)
// and followed by its transcript (see SimWorld::Play). With AMBERVALE_UPDATE_TRANSCRIPTS=1 in
// the environment the file's answers are rewritten from what the host answered (review the
// diff), and the test fails to say so.
void PlayTranscriptFile(const std::string& name);

// One answer as a transcript shows it (see Play).
std::string TranscriptLines(const sim::SimHost::Answer& answer);

}  // namespace ambervale::testing

#include "sim/scenario_json.h"

#include <gtest/gtest.h>

#include "platform/classic_text.h"
#include "sim/day_month.h"
#include "sim/sim_host.h"
#include "testing/fake_env.h"
#include "testing/golden.h"
#include "testing/temp_dir.h"

namespace ambervale::sim {
namespace {

const std::chrono::sys_days kToday = DayOf(CivilTime{2026, 12, 6});

// sim/testdata/scenario_errors.txt: a scenario a line ("\n" and "\xFF" written so), each
// followed by the reader's message.
TEST(ScenarioJsonTest, RefusesBadScenariosNamingTheKeyOrLine) {
  ambervale::testing::ExpectGoldenTable("sim/testdata/scenario_errors.txt", [](std::string json) {
    const bool state = json.starts_with("state: ");
    if (state) json.erase(0, 7);
    json = Replace(Replace(json, "\\n", "\n"), "\\xFF", "\xFF");
    std::string error;
    const auto world =
        ReadWorld(json, state ? WorldSource::kState : WorldSource::kScenario, kToday, &error);
    return (world ? "(accepted)" : error) + "\n";
  });
}

// The state text of the basic world with a value in every kind of field (placeholders
// expanded, left-out fields as their defaults) is read back as it was written; a state file's
// texts are taken as written ("{today}" stays).
TEST(ScenarioJsonTest, StateTextRoundTripsTheWholeWorld) {
  std::string error;
  std::optional<World> world =
      ReadWorld(ambervale::testing::BasicScenario(), WorldSource::kScenario, kToday, &error);
  ASSERT_TRUE(world) << error;
  world->faults.refuse_move.Add("ABC123", 0);
  world->faults.empty_answer_to = {"*CI"};
  world->faults.script = {{"QCB/ABC1/26", 1, 0, {"QC ABC1 BF/Q026....*", ""}}};
  world->pnrs.Find("ABC123")->notepad = {"N\xE9 1"};
  world->pnrs.Find("ABC123")->received_from = {"AGENT"};
  world->pnrs.Find("DEF456")->name = "{today}";
  world->emulated_pcc = "ABC1";
  world->entries = 17;
  const std::string text = WriteWorld(*world);
  ambervale::testing::ExpectGolden("sim/testdata/state_round_trip.json", text);
  EXPECT_EQ(WriteWorld(ReadWorld(text, WorldSource::kState, kToday, &error).value_or(World{})),
            text)
      << error;
}

// A scenario or state file that cannot be read or written, or holds a bad value, is named.
TEST(ScenarioJsonTest, OpenNamesTheFile) {
  testing::TempDir dir;
  testing::FakeEnv env;
  dir.Write("bad.json", "{\n  \"pnrs\": [{\"locator\": \"X\", \"owner_pcc\": \"A\"}]\n}\n");
  dir.Write("good.json", ambervale::testing::BasicScenario());
  dir.Write("state.json", "{\"entries\": -1}");
  const struct {
    std::string scenario, state, message;
  } kCases[] = {
      {"bad.json", "", "bad.json: pnrs[0].locator: \"X\" is not 6 letters or digits"},
      {"missing.json", "", "cannot read scenario file missing.json"},
      {"good.json", "state.json", "state.json: entries: expected a whole number of 0 or more"},
      {"good.json", "missing/state.json", "cannot write state file missing/state.json"},
  };
  for (const auto& c : kCases) {
    Status status;
    EXPECT_EQ(
        SimHost::Open(dir.File(c.scenario), c.state.empty() ? "" : dir.File(c.state), env, &status),
        nullptr);
    EXPECT_EQ(Replace(status.message(), dir.path() + "/", ""), c.message)
        << c.scenario << " " << c.state;
  }
}

}  // namespace
}  // namespace ambervale::sim

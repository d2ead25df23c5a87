#include "sim/scenario_json.h"

#include <gtest/gtest.h>

#include "sim/day_month.h"
#include "sim/sim_host.h"
#include "testing/fake_env.h"
#include "testing/sim_world.h"
#include "testing/temp_dir.h"

namespace ambervale::sim {
namespace {

const std::chrono::sys_days kToday = DayOf(CivilTime{2026, 12, 6});

std::string ReadError(std::string_view json, WorldSource source = WorldSource::kScenario) {
  std::string error;
  const std::optional<World> world = ReadWorld(json, source, kToday, &error);
  return world ? "(accepted)" : error;
}

constexpr const char* kPnr = R"({"locator": "ABC123", "owner_pcc": "A1"})";

std::string WithPnrs(std::string_view pnrs, std::string_view rest = "") {
  return std::string(R"({"pccs": {"A1": {}}, "pnrs": [)") + std::string(pnrs) + "]" +
         std::string(rest) + "}";
}

TEST(ScenarioJsonTest, RefusesBadScenariosNamingTheKeyOrLine) {
  const struct {
    std::string json;
    const char* message;
  } kCases[] = {
      {"{\"agent_ids\": [\"1\"],\n \"pccs\": {\"A1\": {}},\n \"pnrs\": [ }",
       "line 3, column 12: syntax error"},
      {"{\n  \"signed_in\": true,\n  \"pccs\": {\"A1\" {}}\n}", "line 3, column "},
      {"{\"agent_ids\": [\"\xFF\"]}", "line 1, column "},
      {"[]", "the file must hold one JSON object"},
      {R"({"pccs": {"A1": {}, "A1": {}}})", "duplicate key \"A1\" in pccs"},
      {WithPnrs(R"({"locator": "ABC123", "owner_pcc": "A1", "name": "X", "name": "Y"})"),
       "duplicate key \"name\" in pnrs[0]"},
      {R"({"foo": 1})", "foo: unknown key"},
      {R"({"emulated_pcc": "A1"})", "emulated_pcc: belongs in a state file, not in a scenario"},
      {R"({"agent_ids": "1234"})", "agent_ids: expected an array"},
      {R"({"agent_ids": [""]})", "agent_ids[0]: an agent id may not be empty"},
      {R"({"signed_in": "yes"})", "signed_in: expected true or false"},
      {R"({"sign_on_answer": "weird"})", "sign_on_answer: \"weird\" is not one of"},
      {R"({"pccs": {"A-1": {}}})", "pccs.A-1: a PCC is written with letters and digits only"},
      {R"({"pccs": {"A1": {"emulation": "yes"}}})", "pccs.A1.emulation: expected true or false"},
      {R"({"pnrs": {}})", "pnrs: expected an array"},
      {WithPnrs(R"({"locator": "ABC123", "owner_pcc": "A1", "colour": "red"})"),
       "pnrs[0].colour: unknown key"},
      {WithPnrs(R"({"locator": "AB12", "owner_pcc": "A1"})"),
       "pnrs[0].locator: \"AB12\" is not 6 letters or digits"},
      {WithPnrs(R"({"locator": "ABC123"})"), "pnrs[0]: needs \"owner_pcc\""},
      {WithPnrs(R"({"owner_pcc": "A1"})"), "pnrs[0]: needs \"locator\""},
      {WithPnrs(std::string(kPnr) + "," + kPnr), "pnrs[1].locator: \"ABC123\" appears twice"},
      {WithPnrs(R"({"locator": "ABC123", "owner_pcc": "A1", "sine": "X"})"),
       "pnrs[0].sine: \"X\" is not 2 characters"},
      {WithPnrs(R"({"locator": "ABC123", "owner_pcc": "A1", "name": "\u03a9"})"),
       "pnrs[0].name: holds a character outside Windows-1252"},
      {WithPnrs(R"({"locator": "ABC123", "owner_pcc": "A1", "tau": "TKTG-TAU/XX{today+x}"})"),
       "pnrs[0].tau: bad date placeholder \"{today+x}\""},
      {WithPnrs(R"({"locator": "ABC123", "owner_pcc": "A1", "di": ["A", 1]})"),
       "pnrs[0].di[1]: expected a string"},
      {WithPnrs(R"({"locator": "ABC123", "owner_pcc": "A1", "ticketed": 1})"),
       "pnrs[0].ticketed: expected true or false"},
      {WithPnrs(R"({"locator": "ABC123", "owner_pcc": "A1", "airlines": [""]})"),
       "pnrs[0].airlines[0]: may not be empty"},
      {WithPnrs(kPnr, R"(, "queues": {"A1/100": []})"), "queues.A1/100: bad queue key"},
      {WithPnrs(kPnr, R"(, "queues": {"A1/1*": []})"), "queues.A1/1*: bad queue key"},
      {WithPnrs(kPnr, R"(, "queues": {"A1/1": [], "A1/01": []})"),
       "queues.A1/01: names the same queue as an earlier key (\"A1/1\")"},
      {WithPnrs(kPnr, R"(, "queues": {"A1/1": ["ZZZ999"]})"),
       "queues.A1/1[0]: unknown locator \"ZZZ999\""},
      {WithPnrs(kPnr, R"(, "queues": {"A1/1": ["ABC123", "ABC123"]})"),
       "queues.A1/1[1]: \"ABC123\" is on this queue twice"},
      {WithPnrs(kPnr, R"(, "faults": {"refuse_move": {"ZZZ999": 1}})"),
       "faults.refuse_move.ZZZ999: unknown locator \"ZZZ999\""},
      {WithPnrs(kPnr, R"(, "faults": {"refuse_move": {"ABC123": -1}})"),
       "faults.refuse_move.ABC123: expected a whole number of 0 or more"},
      {WithPnrs(kPnr, R"(, "faults": {"refuse_notepad": ["ZZZ999"]})"),
       "faults.refuse_notepad[0]: unknown locator \"ZZZ999\""},
      {R"({"faults": {"busy_every": -1}})", "faults.busy_every: expected a whole number"},
      {R"({"faults": {"latency_ms": 70000}})", "faults.latency_ms: at most 60000"},
      {R"({"faults": {"blank_banner": "yes"}})", "faults.blank_banner: expected true or false"},
      {R"({"faults": {"script": [{"lines": []}]}})", "faults.script[0]: needs \"prefix\""},
      {R"({"faults": {"script": [{"prefix": "MR", "lines": [], "times": -1}]}})",
       "faults.script[0].times: expected a whole number"},
  };
  for (const auto& c : kCases) {
    EXPECT_NE(ReadError(c.json).find(c.message), std::string::npos)
        << c.json << "\n  gave: " << ReadError(c.json) << "\n  wanted: " << c.message;
  }
}

// Emulation and the entry count round-trip below.
TEST(ScenarioJsonTest, StateFilesNameKnownPccsAndKeepTheirTexts) {
  std::string error;
  EXPECT_NE(ReadError(R"({"emulated_pcc": "ZZ"})", WorldSource::kState)
                .find("emulated_pcc: unknown PCC \"ZZ\""),
            std::string::npos);
  // A state file's texts are taken as written.
  const std::optional<World> literal =
      ReadWorld(WithPnrs(R"({"locator": "ABC123", "owner_pcc": "A1", "name": "{today}"})"),
                WorldSource::kState, kToday, &error);
  ASSERT_TRUE(literal) << error;
  EXPECT_EQ(literal->pnrs.Find("ABC123")->name, "{today}");
}

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
  world->emulated_pcc = "ABC1";
  world->entries = 17;
  const std::string text = WriteWorld(*world);
  // Placeholders are expanded, left-out fields written as their defaults.
  EXPECT_NE(text.find("\"tau\": \"TKTG-TAU/XX04DEC*NOTE\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"name\": \"MÜLLER/ANNA·MS\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"ci\": null"), std::string::npos);
  EXPECT_NE(text.find("\"ABC123\": 0"), std::string::npos);
  EXPECT_NE(text.find("\"skip\": 1,\n        \"times\": 0"), std::string::npos) << text;
  EXPECT_NE(text.find("\"ABC1/0\": []"), std::string::npos);
  const std::optional<World> again = ReadWorld(text, WorldSource::kState, kToday, &error);
  ASSERT_TRUE(again) << error;
  EXPECT_EQ(WriteWorld(*again), text);
  EXPECT_EQ(again->pnrs.Find("ABC123")->notepad, std::vector<std::string>{"N\xE9 1"});
  EXPECT_EQ(again->entries, 17);
}

TEST(ScenarioJsonTest, OpenNamesTheFile) {
  TempDir dir;
  FakeEnv env;
  dir.Write("bad.json", "{\n  \"pnrs\": [{\"locator\": \"X\", \"owner_pcc\": \"A\"}]\n}\n");
  Status status;
  EXPECT_EQ(SimHost::Open(dir.File("bad.json"), "", env, &status), nullptr);
  EXPECT_EQ(status.message(),
            dir.File("bad.json") + ": pnrs[0].locator: \"X\" is not 6 letters or digits");
  EXPECT_EQ(SimHost::Open(dir.File("missing.json"), "", env, &status), nullptr);
  EXPECT_EQ(status.message(), "cannot read scenario file " + dir.File("missing.json"));
}

}  // namespace
}  // namespace ambervale::sim

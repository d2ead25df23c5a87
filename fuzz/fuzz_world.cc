// The simulator's files: the scenario and state JSON, and the journal that follows the test
// world's snapshot. Input: one text, read as each of the three.
#include <chrono>

#include "platform/files.h"
#include "sim/journal.h"
#include "sim/scenario_json.h"

using namespace ambervale;
using namespace std::chrono;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const sys_days today{year{2026} / 12 / 6};
  std::string error;
  for (auto source : {sim::WorldSource::kScenario, sim::WorldSource::kState}) {
    if (auto world = sim::ReadWorld(text, source, today, &error)) {
      (void)sim::ReadWorld(sim::WriteWorld(*world), sim::WorldSource::kState, today, &error);
    }
  }
  static const std::string json =
      ReadFile(AMBERVALE_FUZZ_WORLD).value_or("");  // the simulator's test world
  static const auto world = sim::ReadWorld(json, sim::WorldSource::kScenario, today, &error);
  (void)sim::ReadJournal(text, sim::SnapshotFingerprint(json), *world, &error);
  return 0;
}

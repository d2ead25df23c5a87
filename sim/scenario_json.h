#pragma once

// The world as JSON: the scenario a test or demo writes by hand, and the state file the
// simulator keeps so that the world outlives the program. Both are UTF-8 JSON; the world's
// texts are Windows-1252, so every string is converted on the way in and out, and a string
// the code page cannot hold is refused.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "sim/world.h"

namespace ambervale::sim {

enum class WorldSource {
  kScenario,  // "{today...}" placeholders are expanded; emulated_pcc and entries are refused
  kState,     // texts are taken as written; emulated_pcc and entries are read
};

// Reads and checks a scenario or state file's text. On failure returns nullopt and sets
// `error` to a message naming the key path ("pnrs[1].locator: ...") or the line of the JSON
// ("line 3, column 7: ...").
std::optional<World> ReadWorld(std::string_view json, WorldSource source,
                               std::chrono::sys_days today, std::string* error);

// The state file's text: the whole world, every field written.
std::string WriteWorld(const World& world);

}  // namespace ambervale::sim

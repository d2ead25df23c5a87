#pragma once

// Parses JSON text strictly for hand-written files: broken JSON is reported with its line
// and column, and an object holding the same key twice (which a plain parse silently
// collapses) is refused with the key's path.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace ambervale::sim {

// The parsed document, keys in the order written; nullopt with `error` set ("line 4,
// column 12: ..." or "duplicate key \"ABC1\" in pccs") when the text is not acceptable.
std::optional<nlohmann::ordered_json> ParseStrictJson(std::string_view text, std::string* error);

// The line (1-based) of byte `offset` (0-based) of `text`.
int LineOfOffset(std::string_view text, size_t offset);

}  // namespace ambervale::sim

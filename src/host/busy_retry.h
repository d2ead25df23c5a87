#pragma once

// The host answers "PREVIOUS ENTRY IN PROGRESS" while it is still busy with an earlier entry;
// the entry so answered was not carried out. sendTECommand waits ten seconds after such an
// answer; SendEntry then sends the entry again, so that no step of a run mistakes the busy
// answer for the host's reply to its entry (a display read as empty, a move read as refused).

#include <string_view>

#include "host/host_layer.h"

namespace ambervale {

// How often one entry is sent again while the host stays busy.
inline constexpr int kBusyResends = 3;

// True when line 0 of the last response holds "PREVIOUS ENTRY IN PROGRESS" (case-sensitive).
[[nodiscard]] bool IsBusyAnswer(HostLayer& host);

// sendTECommand(entry), then again, up to kBusyResends times, while the host answers busy.
// Every sending is logged as any entry is; the last answer stays readable. Returns the end of
// the program when the host was lost.
[[nodiscard]] ProgramEnd SendEntry(HostLayer& host, std::string_view entry);

}  // namespace ambervale

#pragma once

// The entry families of the simulated host. Each handler answers the entries of its family
// and returns nullopt for any other entry, so the dispatcher can try them in turn. The entry
// arrives bare (no FORMAT wrapper, no trailing blanks) and the caller has already applied the
// faults and the sign-in check.

#include <optional>
#include <string_view>
#include <vector>

#include "sim/host_context.h"
#include "sim/screen.h"

namespace ambervale::sim {

// OP/W*, SON/, SEM/, QX+I, MR.
std::optional<Screen> AnswerSessionEntry(HostContext& ctx, std::string_view entry);
// QCB/, QCT/, QLD/.
std::optional<Screen> AnswerQueueDisplayEntry(HostContext& ctx, std::string_view entry);
// Q/, *R, I, IR, ER, QPB*, QEB/.
std::optional<Screen> AnswerQueueModeEntry(HostContext& ctx, std::string_view entry);
// *P, *DI, *CI, *TD, NP., T.T@AU/, R.
std::optional<Screen> AnswerPnrEntry(HostContext& ctx, std::string_view entry);
// LD/{pcc}/UTK/...
std::optional<Screen> AnswerUnticketedEntry(HostContext& ctx, std::string_view entry);

// Any signed-in entry: the family that knows it, else "FORMAT".
Screen AnswerEntry(HostContext& ctx, std::string_view entry);

// Shared by the families.
std::vector<std::string_view> SplitAt(std::string_view text, char separator);
Screen FormatError();
Screen InvalidQueue(std::string_view what);

}  // namespace ambervale::sim

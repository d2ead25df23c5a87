// Sign-on, emulation, leaving queue mode and paging.

#include <algorithm>
#include <string>

#include "sim/entries.h"

namespace ambervale::sim {
namespace {

Screen SignOnState(const HostContext& ctx) {
  if (!ctx.world.signed_in) return Screen("SIGN IN");
  const std::string& id = ctx.session.agent_id;
  switch (ctx.world.sign_on_answer) {
    case SignOnAnswer::kNormal:
      return Screen(" *VANTORA* AGENT " + id + " SIGNED IN");
    case SignOnAnswer::kSister:
      return Screen("*ORSINE* AGENT " + id + " SIGNED IN");
    case SignOnAnswer::kDutyCode:
      return Screen("DUTY CODE NOT AUTHORISED FOR TERMINAL - VANTORA");
    case SignOnAnswer::kNone:
      break;
  }
  return Screen();
}

Screen SignOn(HostContext& ctx, std::string_view id) {
  const auto& ids = ctx.world.agent_ids;
  if (std::find(ids.begin(), ids.end(), id) == ids.end()) return Screen("INVALID AGENT ID");
  if (!ctx.world.signed_in) {
    ctx.EndSession();  // a fresh session
    ctx.world.signed_in = true;
    ctx.session.agent_id = std::string(id);
  }
  return Screen("SIGN ON COMPLETE");
}

// "{pcc}/AG".
Screen Emulate(HostContext& ctx, std::string_view rest) {
  const std::vector<std::string_view> fields = SplitAt(rest, '/');
  if (fields.size() != 2 || fields[0].empty() || fields[1] != "AG") return FormatError();
  const std::string pcc(fields[0]);
  const bool* allowed = ctx.world.pccs.Find(pcc);
  if (allowed == nullptr || !*allowed) return Screen("NOT AUTHORISED - " + pcc);
  ctx.world.emulated_pcc = pcc;
  return Screen("PROCEED");
}

Screen ExitQueueMode(HostContext& ctx) {
  const bool was_in_queue_mode = ctx.InQueueMode();
  ctx.ClearWorkArea();
  return Screen(was_in_queue_mode ? "QUEUE MODE EXITED" : "NOT IN QUEUE MODE");
}

Screen NextPage(HostContext& ctx) {
  Session& s = ctx.session;
  if (s.next_page < s.pages.size()) return s.pages[s.next_page++];
  return Screen("NOTHING TO SCROLL").Add("");
}

}  // namespace

std::optional<Screen> AnswerSessionEntry(HostContext& ctx, std::string_view entry) {
  if (entry == "OP/W*") return SignOnState(ctx);
  if (entry.starts_with("SON/")) return SignOn(ctx, entry.substr(4));
  if (entry == "SEM/SU") return Screen("OK");
  if (entry.starts_with("SEM/")) return Emulate(ctx, entry.substr(4));
  if (entry == "QX+I") return ExitQueueMode(ctx);
  if (entry == "MR") return NextPage(ctx);
  return std::nullopt;
}

}  // namespace ambervale::sim

// The displays of the PNR in the work area (*P, *DI, *CI, *TD) and its changes (NP.,
// T.T@AU/, R.).

#include <algorithm>
#include <string>

#include "platform/classic_text.h"
#include "sim/day_month.h"
#include "sim/entries.h"

namespace ambervale::sim {
namespace {

constexpr size_t kRemarksPerPage = 10;
constexpr size_t kMaxNotepadLength = 70;
constexpr std::string_view kTauMark = "TKTG-TAU/";
constexpr size_t kKeptAfterTauMark = 2;

Screen ShowName(const Pnr& pnr) { return Screen("1.1" + pnr.name); }

Screen ShowRemarks(HostContext& ctx, const Pnr& pnr) {
  if (pnr.di.empty()) return ctx.StartPages({Screen("")});
  std::vector<Screen> pages;
  for (size_t i = 0; i < pnr.di.size(); ++i) {
    if (i % kRemarksPerPage == 0) pages.emplace_back();
    pages.back().Add(PadRight(std::to_string(i + 1) + ".", 5) + pnr.di[i]);
  }
  pages.back().Add("");
  return ctx.StartPages(std::move(pages));
}

Screen ShowCustomerData(const Pnr& pnr) {
  Screen screen(pnr.ci ? "CUST-" + *pnr.ci : "NO CI DATA");
  return screen.Add("");
}

Screen ShowTicketing(HostContext& ctx) {
  const std::optional<std::string> tau = ctx.CurrentTau();
  Screen screen(tau ? *tau : "TKTG-TKT ISSUED");
  return screen.Add("");
}

Screen AddNotepad(HostContext& ctx, const Pnr& pnr, std::string_view text) {
  const auto& refused = ctx.world.faults.refuse_notepad;
  if (text.empty() || text.size() > kMaxNotepadLength ||
      std::find(refused.begin(), refused.end(), pnr.locator) != refused.end()) {
    return FormatError();
  }
  ctx.session.pending_notepad.emplace_back(text);
  return Screen("*");
}

// "T.T@AU/{DDMON}{tail}": the date after the two characters that follow "TKTG-TAU/", and
// everything after it, are replaced.
Screen ChangeTicketingDate(HostContext& ctx, std::string_view rest) {
  if (rest.size() < 5 || !ParseDayMonth(rest.substr(0, 5))) return FormatError();
  const std::optional<std::string> tau = ctx.CurrentTau();
  if (!tau) return FormatError();
  const size_t mark = tau->find(kTauMark);
  if (mark == std::string::npos) return FormatError();
  const size_t kept = mark + kTauMark.size() + kKeptAfterTauMark;
  if (tau->size() < kept) return FormatError();
  ctx.session.pending_tau = tau->substr(0, kept) + std::string(rest);
  return Screen("*");
}

Screen SetReceivedFrom(HostContext& ctx, std::string_view text) {
  if (text.empty()) return FormatError();
  ctx.session.received_from = std::string(text);
  return Screen("*");
}

bool IsPnrEntry(std::string_view entry) {
  return entry == "*P" || entry == "*DI" || entry == "*CI" || entry == "*TD" ||
         entry.starts_with("NP.") || entry.starts_with("T.T@AU/") || entry.starts_with("R.");
}

}  // namespace

std::optional<Screen> AnswerPnrEntry(HostContext& ctx, std::string_view entry) {
  if (!IsPnrEntry(entry)) return std::nullopt;
  if (entry == "*DI") ctx.session.pages.clear();
  const Pnr* pnr = ctx.ShownPnr();
  if (pnr == nullptr) return Screen("NO B.F.");
  if (entry == "*P") return ShowName(*pnr);
  if (entry == "*DI") return ShowRemarks(ctx, *pnr);
  if (entry == "*CI") return ShowCustomerData(*pnr);
  if (entry == "*TD") return ShowTicketing(ctx);
  if (entry.starts_with("NP.")) return AddNotepad(ctx, *pnr, entry.substr(3));
  if (entry.starts_with("T.T@AU/")) return ChangeTicketingDate(ctx, entry.substr(7));
  return SetReceivedFrom(ctx, entry.substr(2));
}

}  // namespace ambervale::sim

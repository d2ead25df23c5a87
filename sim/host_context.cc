#include "sim/host_context.h"

#include "platform/classic_text.h"
#include "sim/day_month.h"

namespace ambervale::sim {

Pnr* HostContext::ShownPnr() {
  if (!session.shown) return nullptr;
  return world.pnrs.Find(*session.shown);
}

std::optional<std::string> HostContext::CurrentTau() {
  if (session.pending_tau) return session.pending_tau;
  const Pnr* pnr = ShownPnr();
  return pnr == nullptr ? std::nullopt : pnr->tau;
}

void HostContext::DropPendingChanges() {
  session.pending_notepad.clear();
  session.pending_tau.reset();
  session.received_from.reset();
}

void HostContext::CommitPendingChanges() {
  Pnr* pnr = ShownPnr();
  if (pnr != nullptr && HasPendingChanges()) {
    for (std::string& remark : session.pending_notepad) pnr->notepad.push_back(std::move(remark));
    if (session.pending_tau) pnr->tau = std::move(session.pending_tau);
    if (session.received_from) pnr->received_from.push_back(*session.received_from);
  }
  DropPendingChanges();
}

void HostContext::ClearWorkArea() {
  DropPendingChanges();
  session.worked_queue.reset();
  session.shown.reset();
}

void HostContext::EndSession() {
  ClearWorkArea();
  session.pages.clear();
  session.next_page = 0;
  world.signed_in = false;
  world.emulated_pcc.reset();
}

Screen HostContext::PnrScreen(const Pnr& pnr) const {
  Screen screen;
  screen.Add(pnr.locator + "/" + pnr.sine + " " + pnr.owner_pcc + " " + FormatDayMonth(today));
  screen.Add("1.1" + pnr.name);
  screen.Add("");
  return screen;
}

std::string HostContext::Banner(int number, std::string_view pcc) const {
  constexpr size_t kBannerWidth = 24;
  if (world.faults.blank_banner) return std::string(kBannerWidth, ' ');
  return Left(PadRight("QUEUE " + ZeroPad(number, 3) + " " + std::string(pcc), kBannerWidth),
              kBannerWidth);
}

Screen HostContext::StartPages(std::vector<Screen> pages) {
  session.pages = std::move(pages);
  session.next_page = 1;
  return session.pages.empty() ? Screen() : session.pages.front();
}

Screen HostContext::ShowFront() {
  const std::vector<std::string>& queue = QueueContent(world, *session.worked_queue);
  const Pnr* front = queue.empty() ? nullptr : world.pnrs.Find(queue.front());
  if (front == nullptr) {
    session.shown.reset();
    return Screen("QUEUE EMPTY");
  }
  session.shown = front->locator;
  return PnrScreen(*front);
}

}  // namespace ambervale::sim

// Working a queue: entering it (Q/), the record locator display (*R), ignoring (I, IR),
// ending (ER), the queue banner (QPB*) and placing the PNR on other queues (QEB/).

#include <algorithm>
#include <string>

#include "sim/entries.h"

namespace ambervale::sim {
namespace {

// The answer when no PNR is in the work area.
Screen NothingShown(const HostContext& ctx) {
  return Screen(ctx.InQueueMode() ? "QUEUE EMPTY" : "NO B.F.");
}

// "Q/{pcc}/{addr}".
Screen EnterQueue(HostContext& ctx, std::string_view rest) {
  const std::vector<std::string_view> f = SplitAt(rest, '/');
  if (f.size() != 2) return FormatError();
  QueueAddress queue;
  switch (ParseQueueAddress(ctx.world, f[0], f[1], true, &queue)) {
    case AddressCheck::kValid:
      break;
    case AddressCheck::kNotANumber:
      return FormatError();
    case AddressCheck::kInvalid:
      return InvalidQueue(std::string(f[0]) + "/" + std::string(f[1]));
  }
  if (ctx.HasPendingChanges()) return Screen("FINISH OR IGNORE");
  ctx.ClearWorkArea();
  if (QueueContent(ctx.world, queue).empty()) return Screen("QUEUE EMPTY");
  ctx.session.worked_queue = queue;
  return ctx.ShowFront();
}

Screen ShowLocator(HostContext& ctx) {
  const Pnr* pnr = ctx.ShownPnr();
  return pnr == nullptr ? NothingShown(ctx) : ctx.PnrScreen(*pnr);
}

Screen Ignore(HostContext& ctx) {
  ctx.DropPendingChanges();
  if (!ctx.InQueueMode()) return Screen("IGD");
  if (ctx.session.shown) {
    std::vector<std::string>& queue = MutableQueue(ctx.world, *ctx.session.worked_queue);
    const auto it = std::find(queue.begin(), queue.end(), *ctx.session.shown);
    if (it != queue.end() && it + 1 != queue.end()) std::rotate(it, it + 1, queue.end());
  }
  return ctx.ShowFront();
}

Screen IgnoreAndRedisplay(HostContext& ctx) {
  ctx.DropPendingChanges();
  return ShowLocator(ctx);
}

Screen EndAndRedisplay(HostContext& ctx) {
  if (ctx.ShownPnr() == nullptr) {
    ctx.DropPendingChanges();
    return NothingShown(ctx);
  }
  if (ctx.HasPendingChanges() && !ctx.session.received_from) {
    return Screen("NEED RECEIVED FROM");
  }
  ctx.CommitPendingChanges();
  return ShowLocator(ctx);
}

// "QPB*{q}": the banner of queue q in the worked queue's PCC (else the emulated one).
Screen ShowBanner(const HostContext& ctx, std::string_view digits) {
  int number = 0;
  if (ReadQueueNumber(digits, &number) != AddressCheck::kValid) return FormatError();
  const std::string pcc =
      ctx.InQueueMode() ? ctx.session.worked_queue->pcc : ctx.world.emulated_pcc.value_or("");
  return Screen("QPB" + ctx.Banner(number, pcc));
}

// Checks the destinations of "QEB/"; the error screen of the first bad one.
std::optional<Screen> ReadDestinations(const HostContext& ctx,
                                       const std::vector<std::string_view>& dests,
                                       std::vector<QueueAddress>* queues) {
  for (const std::string_view dest : dests) {
    const std::vector<std::string_view> f = SplitAt(dest, '/');
    QueueAddress queue;
    if (f.size() != 2 ||
        ParseQueueAddress(ctx.world, f[0], f[1], true, &queue) != AddressCheck::kValid) {
      return InvalidQueue(dest);
    }
    queues->push_back(std::move(queue));
  }
  return std::nullopt;
}

// "QEB/{dest}[+{dest}...]".
Screen PlaceOnQueues(HostContext& ctx, std::string_view list) {
  if (!ctx.InQueueMode()) return Screen("NOT IN QUEUE MODE");
  const Pnr* pnr = ctx.ShownPnr();
  if (pnr == nullptr) return Screen("NO B.F.");
  const std::vector<std::string_view> dests = SplitAt(list, '+');
  if (std::any_of(dests.begin(), dests.end(), [](std::string_view d) { return d.empty(); })) {
    return FormatError();
  }
  if (ctx.HasPendingChanges() && !ctx.session.received_from) {
    return Screen("NEED RECEIVED FROM");
  }
  std::vector<QueueAddress> queues;
  if (auto error = ReadDestinations(ctx, dests, &queues)) return *error;
  const std::string locator = pnr->locator;
  if (int64_t* refusals = ctx.world.faults.refuse_move.Find(locator);
      refusals != nullptr && *refusals > 0) {
    --*refusals;
    return Screen("UNABLE TO PLACE - " + locator);
  }

  ctx.CommitPendingChanges();
  const QueueAddress worked = *ctx.session.worked_queue;
  // A PNR is on a queue at most once, and a queue walk takes it from the front.
  std::vector<std::string>& from = MutableQueue(ctx.world, worked);
  if (const auto at = std::find(from.begin(), from.end(), locator); at != from.end()) {
    from.erase(at);
  }
  for (const QueueAddress& queue : queues) {
    std::vector<std::string>& to = MutableQueue(ctx.world, queue);
    if (std::find(to.begin(), to.end(), locator) == to.end()) to.push_back(locator);
  }
  Screen screen;
  screen.Add("ON QUEUE- " + locator + " " + std::string(list));
  screen.Add(ctx.Banner(worked.number, worked.pcc));
  return screen.Append(ctx.ShowFront());
}

}  // namespace

std::optional<Screen> AnswerQueueModeEntry(HostContext& ctx, std::string_view entry) {
  if (entry.starts_with("Q/")) return EnterQueue(ctx, entry.substr(2));
  if (entry == "*R") return ShowLocator(ctx);
  if (entry == "I") return Ignore(ctx);
  if (entry == "IR") return IgnoreAndRedisplay(ctx);
  if (entry == "ER") return EndAndRedisplay(ctx);
  if (entry.starts_with("QPB*")) return ShowBanner(ctx, entry.substr(4));
  if (entry.starts_with("QEB/")) return PlaceOnQueues(ctx, entry.substr(4));
  return std::nullopt;
}

}  // namespace ambervale::sim

// The unticketed list: LD/{pcc}/UTK/[{airlines}/]{from}*{to}-D, or with -Q/{pcc}/{q} in place
// of -D to queue the PNRs it lists.

#include <algorithm>
#include <chrono>
#include <string>

#include "sim/day_month.h"
#include "sim/entries.h"

namespace ambervale::sim {
namespace {

using std::chrono::sys_days;

constexpr std::string_view kTauMark = "TKTG-TAU/";
constexpr size_t kKeptAfterTauMark = 2;

struct ListRequest {
  std::string pcc;
  std::vector<std::string_view> airlines;  // empty: every airline
  sys_days from;
  sys_days to;
};

// The ticketing date of a PNR: the DDMON after the two characters that follow "TKTG-TAU/",
// as the date nearest to today.
std::optional<sys_days> TicketingDate(const std::string& tau, sys_days today) {
  const size_t mark = tau.find(kTauMark);
  if (mark == std::string::npos) return std::nullopt;
  const size_t at = mark + kTauMark.size() + kKeptAfterTauMark;
  if (tau.size() < at + 5) return std::nullopt;
  const std::optional<DayMonth> dm = ParseDayMonth(std::string_view(tau).substr(at, 5));
  if (!dm) return std::nullopt;
  return NearestDate(*dm, today);
}

bool IsListed(const Pnr& pnr, const ListRequest& request, sys_days today) {
  if (pnr.owner_pcc != request.pcc || pnr.ticketed || !pnr.tau) return false;
  const std::optional<sys_days> date = TicketingDate(*pnr.tau, today);
  if (!date || *date < request.from || *date > request.to) return false;
  if (request.airlines.empty()) return true;
  return std::any_of(pnr.airlines.begin(), pnr.airlines.end(), [&](const std::string& code) {
    return std::find(request.airlines.begin(), request.airlines.end(), code) !=
           request.airlines.end();
  });
}

// Reads "[{airlines}/]{from}*{to}"; false when any part is malformed.
bool ReadSelection(std::string_view text, sys_days today, ListRequest* request) {
  std::string_view dates = text;
  const size_t slash = text.rfind('/');
  if (slash != std::string_view::npos) {
    request->airlines = SplitAt(text.substr(0, slash), '.');
    if (std::any_of(request->airlines.begin(), request->airlines.end(),
                    [](std::string_view code) { return code.empty(); })) {
      return false;
    }
    dates = text.substr(slash + 1);
  }
  const std::vector<std::string_view> range = SplitAt(dates, '*');
  if (range.size() != 2) return false;
  const std::optional<DayMonth> from = ParseDayMonth(range[0]);
  const std::optional<DayMonth> to = ParseDayMonth(range[1]);
  if (!from || !to) return false;
  const std::optional<sys_days> from_date = NearestDate(*from, today);
  if (!from_date) return false;
  const std::optional<sys_days> to_date = FirstOnOrAfter(*to, *from_date);
  if (!to_date) return false;
  request->from = *from_date;
  request->to = *to_date;
  return true;
}

Screen ListScreen(const std::vector<const Pnr*>& listed) {
  Screen screen("B.F. COUNT " + ZeroPad(static_cast<long long>(listed.size()), 3));
  for (size_t i = 0; i < listed.size(); ++i) {
    screen.AddMarked(" " + ZeroPad(static_cast<long long>(i + 1), 3) + " *" + listed[i]->locator,
                     SurnameFirst(listed[i]->name));
  }
  return screen.Add("END OF DISPLAY");
}

Screen Queue(HostContext& ctx, const std::vector<const Pnr*>& listed, const QueueAddress& queue,
             std::string_view written_queue) {
  std::vector<std::string>& content = MutableQueue(ctx.world, queue);
  for (const Pnr* pnr : listed) {
    if (std::find(content.begin(), content.end(), pnr->locator) == content.end()) {
      content.push_back(pnr->locator);
    }
  }
  return Screen(ZeroPad(static_cast<long long>(listed.size()), 3) + " BOOKING FILES ON QUEUE " +
                std::string(written_queue));
}

Screen ListUnticketed(HostContext& ctx, std::string_view rest) {
  const size_t slash = rest.find('/');
  if (slash == std::string_view::npos || !rest.substr(slash + 1).starts_with("UTK/")) {
    return FormatError();
  }
  ListRequest request;
  request.pcc = std::string(rest.substr(0, slash));
  std::string_view body = rest.substr(slash + 5);

  std::optional<QueueAddress> queue;
  std::string_view written_queue;
  if (const size_t q = body.find("-Q/"); q != std::string_view::npos) {
    const std::string_view dest = body.substr(q + 3);
    const std::vector<std::string_view> f = SplitAt(dest, '/');
    QueueAddress address;
    if (f.size() != 2 ||
        ParseQueueAddress(ctx.world, f[0], f[1], true, &address) != AddressCheck::kValid) {
      return InvalidQueue(dest);
    }
    queue = address;
    written_queue = f[1];
    body = body.substr(0, q);
  } else if (body.ends_with("-D")) {
    body.remove_suffix(2);
  } else {
    return FormatError();
  }
  if (!ReadSelection(body, ctx.today, &request)) return FormatError();

  std::vector<const Pnr*> listed;
  for (const auto& [locator, pnr] : ctx.world.pnrs) {
    if (IsListed(pnr, request, ctx.today)) listed.push_back(&pnr);
  }
  if (listed.empty()) return Screen("NO MATCHING BOOKING FILES");
  if (queue) return Queue(ctx, listed, *queue, written_queue);
  return ListScreen(listed);
}

}  // namespace

std::optional<Screen> AnswerUnticketedEntry(HostContext& ctx, std::string_view entry) {
  if (!entry.starts_with("LD/")) return std::nullopt;
  return ListUnticketed(ctx, entry.substr(3));
}

}  // namespace ambervale::sim

// The queue count displays (QCB/, QCT/) and the queue list (QLD/ with its blocks of 100).

#include <algorithm>
#include <string>

#include "platform/classic_text.h"
#include "sim/entries.h"

namespace ambervale::sim {
namespace {

constexpr size_t kPnrsPerPage = 15;
constexpr size_t kBlockSize = 100;
constexpr size_t kSuggestionColumn = 25;  // the suggested entry starts in the next column

// `n` right-aligned in `width` places padded with ".".
std::string DotPad(size_t n, size_t width) {
  std::string digits = std::to_string(n);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '.');
  return digits;
}

std::string CountMarker(int queue) {
  if (queue == 0) return "BF/URG ";
  if (queue == 1) return "BF/GEN ";
  return "BF/Q" + ZeroPad(queue, 3);
}

// Reads "{pcc}/{addr}" into `queue`; the error screen when it is not a usable address.
std::optional<Screen> ReadAddress(const HostContext& ctx, std::string_view pcc,
                                  std::string_view addr, bool allow_category, QueueAddress* queue) {
  switch (ParseQueueAddress(ctx.world, pcc, addr, allow_category, queue)) {
    case AddressCheck::kValid:
      return std::nullopt;
    case AddressCheck::kNotANumber:
      return FormatError();
    case AddressCheck::kInvalid:
      break;
  }
  return InvalidQueue(std::string(pcc) + "/" + std::string(addr));
}

// "QCB/{pcc}/{q}": "QC {pcc} " + marker + count.
Screen CountWithoutCategory(const HostContext& ctx, std::string_view rest) {
  const std::vector<std::string_view> f = SplitAt(rest, '/');
  if (f.size() != 2) return FormatError();
  QueueAddress queue;
  if (auto error = ReadAddress(ctx, f[0], f[1], false, &queue)) return *error;
  const size_t count = QueueContent(ctx.world, queue).size();
  return Screen().AddBare("QC " + queue.pcc + " " + CountMarker(queue.number) + DotPad(count, 5));
}

// "QCT/{pcc}/{q}*{cat}": "Q{q:3}/{cat}" + count.
Screen CountWithCategory(const HostContext& ctx, std::string_view rest) {
  const std::vector<std::string_view> f = SplitAt(rest, '/');
  if (f.size() != 2 || f[1].find('*') == std::string_view::npos) return FormatError();
  QueueAddress queue;
  if (auto error = ReadAddress(ctx, f[0], f[1], true, &queue)) return *error;
  const size_t count = QueueContent(ctx.world, queue).size();
  return Screen().AddBare("Q" + ZeroPad(queue.number, 3) + "/" + queue.category + DotPad(count, 8));
}

// The line offering `entry`: `label` in the first 25 columns, then the entry and a field mark.
Screen& AddSuggestion(Screen& screen, std::string_view label, const std::string& entry) {
  return screen.AddMarked(PadRight(label, kSuggestionColumn) + entry, "");
}

// The pages listing PNRs `first`..`last` (1-based) of `queue`.
std::vector<Screen> ListPages(const HostContext& ctx, const std::vector<std::string>& queue,
                              size_t first, size_t last, const std::string& header,
                              const std::string& next_entry) {
  std::vector<Screen> pages;
  for (size_t start = first; start <= last; start += kPnrsPerPage) {
    Screen page;
    if (start == first) page.Add(header);
    const size_t end = std::min(last, start + kPnrsPerPage - 1);
    for (size_t n = start; n <= end; ++n) {
      const Pnr* pnr = ctx.world.pnrs.Find(queue[n - 1]);
      page.Add(" " + ZeroPad(static_cast<long long>(n), 3) + " " + queue[n - 1] + " " +
               (pnr == nullptr ? std::string() : SurnameFirst(pnr->name)));
    }
    if (end == last) {
      if (next_entry.empty()) {
        page.Add("END OF DISPLAY");
      } else {
        AddSuggestion(page, "TO SEE THE NEXT 100 BFS", next_entry);
      }
    }
    pages.push_back(std::move(page));
  }
  return pages;
}

// Reads the block start of "/TS/{n}"; 0 when it is not a number of 1 or more.
size_t BlockStart(std::string_view text) {
  if (text.empty() || text.size() > 9) return 0;
  size_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + static_cast<size_t>(c - '0');
  }
  return n;
}

// "QLD/{pcc}/{addr}/TS" or "QLD/{pcc}/{addr}/TS/{n}".
Screen ListQueue(HostContext& ctx, std::string_view rest) {
  ctx.session.pages.clear();
  const std::vector<std::string_view> f = SplitAt(rest, '/');
  if ((f.size() != 3 && f.size() != 4) || f[2] != "TS") return FormatError();
  QueueAddress queue;
  if (auto error = ReadAddress(ctx, f[0], f[1], true, &queue)) return *error;
  const bool block = f.size() == 4;
  const size_t first = block ? BlockStart(f[3]) : 1;
  if (first == 0) return FormatError();

  const std::vector<std::string>& content = QueueContent(ctx.world, queue);
  const std::string pcc(f[0]);
  const std::string addr(f[1]);
  const std::string list_entry = "QLD/" + pcc + "/" + addr + "/TS/";
  if (content.empty()) return ctx.StartPages({Screen("NO BOOKING FILES ON QUEUE")});
  if (!block && content.size() > kBlockSize) {
    Screen offer;
    AddSuggestion(offer, "TO SEE THE FIRST 100 BFS", list_entry + "1");
    return ctx.StartPages({offer});
  }
  if (first > content.size()) return ctx.StartPages({Screen("END OF DISPLAY")});
  const size_t last = block ? std::min(content.size(), first + kBlockSize - 1) : content.size();
  const std::string next = last < content.size() ? list_entry + std::to_string(last + 1) : "";
  const std::string header = "QUEUE " + addr + " " + pcc + "   SURNAME        DATE";
  return ctx.StartPages(ListPages(ctx, content, first, last, header, next));
}

}  // namespace

std::optional<Screen> AnswerQueueDisplayEntry(HostContext& ctx, std::string_view entry) {
  if (entry.starts_with("QCB/")) return CountWithoutCategory(ctx, entry.substr(4));
  if (entry.starts_with("QCT/")) return CountWithCategory(ctx, entry.substr(4));
  if (entry.starts_with("QLD/")) return ListQueue(ctx, entry.substr(4));
  return std::nullopt;
}

}  // namespace ambervale::sim

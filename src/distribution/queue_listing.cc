#include "distribution/queue_listing.h"

#include <string>

#include "host/busy_retry.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {
namespace {

constexpr std::string_view kFirstBlock = "TO SEE THE FIRST 100 BFS";
constexpr std::string_view kNextBlock = "TO SEE THE NEXT 100 BFS";
constexpr std::string_view kEnd = "END OF DISPLAY";
constexpr std::string_view kHyphens = "--------------------------------------------";
// More pages than any queue holds (99,999 PNRs at 15 a page).
constexpr int kMaxScreens = 7000;

class Listing {
 public:
  Listing(Session& session, const TaskState& task)
      : form_(session.form), host_(session.host), task_(task) {}

  ProgramEnd Run() {
    const std::string& pcc = task_.pcc;
    const std::string message = "List PNRs on Queue " + std::to_string(task_.q) + " in PCC " + pcc;
    form_.AddActionLog(message, kQueueListPrefix, false);
    form_.AddActionLog(message, kRunLogPrefix, true);
    form_.logs().WriteRunLogScreen(kHyphens, kQueueListPrefix);
    form_.logs().WriteRunLogScreen(kHyphens, kRunLogPrefix);

    const std::string entry = "QLD/" + pcc + "/" + task_.queue_address + "/TS";
    form_.AddActionLog("HOST Command: " + entry, kRunLogPrefix, true);
    if (ProgramEnd end = Send(entry)) return end;
    if (!Contains(screen_, kFirstBlock)) {
      if (Contains(screen_, "SURNAME")) {
        LogScreen();
        if (ProgramEnd end = PageUntil(/*stop_at_next_block=*/false)) return end;
      }
    } else {
      std::string next = host_.GetSuggestedEntry(kFirstBlock);
      std::string previous;
      while (!Contains(screen_, kEnd) && !next.empty() && next != previous && !stalled_) {
        if (ProgramEnd end = Send(next)) return end;
        LogScreen();
        if (ProgramEnd end = PageUntil(/*stop_at_next_block=*/true)) return end;
        previous = next;
        next = host_.GetSuggestedEntry(kNextBlock);
      }
    }
    const auto closing = [&] {
      return FormatDateTime(form_.env().LocalNow()) + " - " + std::string(kHyphens);
    };
    form_.logs().WriteRunLogScreen(closing(), kQueueListPrefix);
    form_.logs().WriteRunLogScreen(closing(), kRunLogPrefix);
    return ProgramEnd::GoOn();
  }

 private:
  ProgramEnd Send(std::string_view entry) {
    const std::string before = screen_;
    if (ProgramEnd end = SendEntry(host_, entry)) return end;
    screen_ = host_.GetScreenText();
    ++screens_;
    if (screens_ > kMaxScreens) stalled_ = true;
    if (entry == "MR" && (screen_ == before || Contains(screen_, "NOTHING TO SCROLL"))) {
      stalled_ = true;
    }
    return ProgramEnd::GoOn();
  }

  void LogScreen() {
    form_.logs().WriteRunLogScreen(screen_, kQueueListPrefix);
    form_.logs().WriteRunLogScreen(screen_, kRunLogPrefix);
  }

  // "MR" until the end of the listing (or of the block of 100).
  ProgramEnd PageUntil(bool stop_at_next_block) {
    while (!stalled_ && !Contains(screen_, kEnd) &&
           !(stop_at_next_block && Contains(screen_, kNextBlock))) {
      if (ProgramEnd end = Send("MR")) return end;
      if (stalled_) break;
      LogScreen();
    }
    return ProgramEnd::GoOn();
  }

  frmMain& form_;
  HostLayer& host_;
  const TaskState& task_;
  std::string screen_;
  int screens_ = 0;
  bool stalled_ = false;
};

}  // namespace

ProgramEnd ListQueue(Session& session, const TaskState& task) {
  return Listing(session, task).Run();
}

}  // namespace ambervale

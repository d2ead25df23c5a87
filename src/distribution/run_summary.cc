#include "distribution/run_summary.h"

#include <string>
#include <vector>

#include "logs/csv_ring_log.h"
#include "platform/classic_text.h"

namespace ambervale {
namespace {

// A counter that wraps to 1 at 999,999,999 with its sub-count of wraps, as one number.
constexpr int64_t kWrap = 999'999'999;
int64_t Total(int32_t count, int32_t sub_count) { return int64_t{sub_count} * kWrap + count; }

std::string Plural(int64_t n, const std::string& one, const std::string& many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

RunSummary::RunSummary(Session& session)
    : session_(session),
      start_(session.form.env().LocalNow()),
      at_start_(Read(session.form)),
      traffic_at_start_(session.host.traffic()) {}

RunSummary::Counts RunSummary::Read(const frmMain& form) {
  return {Total(form.intSuccessCount, form.intSuccessSubCount),
          Total(form.intFailCount, form.intFailSubCount), form.lngSuccessOrgQ2FailQCount,
          form.lngSuccessFromFail2OrgQCount};
}

void RunSummary::Write(const RunTally& tally) {
  frmMain& form = session_.form;
  const Counts now = Read(form);
  const HostTraffic& traffic = session_.host.traffic();
  const int64_t moved = now.moved - at_start_.moved;
  const int64_t failed = now.failed - at_start_.failed;
  const int64_t to_fail_queue = now.to_fail_queue - at_start_.to_fail_queue;
  const int64_t returned = now.returned - at_start_.returned;
  const int64_t entries = traffic.entries - traffic_at_start_.entries;
  const int64_t busy = traffic.busy_answers - traffic_at_start_.busy_answers;
  const auto waited = traffic.waiting - traffic_at_start_.waiting;
  const int64_t seconds = (waited.count() + 500'000'000) / 1'000'000'000;

  const std::string start = FormatDateTime(start_);
  CsvRingLog summary(
      form.logs(), "Run_Summary_",
      {"Start", "End", "Tasks", "PNRs taken", "Moved", "Failed", "To Fail Queue",
       "Returned from Fail Queue", "Host entries", "Busy answers", "Seconds waiting for host"});
  (void)summary.WriteRows(
      {{start, FormatDateTime(form.env().LocalNow()), std::to_string(tally.tasks),
        std::to_string(tally.taken), std::to_string(moved), std::to_string(failed),
        std::to_string(to_fail_queue), std::to_string(returned), std::to_string(entries),
        std::to_string(busy), std::to_string(seconds)}});
  if (!tally.agents.empty()) {
    std::vector<std::vector<std::string>> rows;
    for (const AgentTally& agent : tally.agents) {
      rows.push_back({start, agent.agent_id, agent.destination, std::to_string(agent.pnrs)});
    }
    CsvRingLog agents(form.logs(), "Agent_Tally_", {"Date", "Agent id", "Destination", "PNRs"});
    (void)agents.WriteRows(rows);
  }

  form.AddActionLog("Run summary: " + Plural(tally.tasks, "task", "tasks") + ", " +
                    Plural(tally.taken, "PNR", "PNRs") + " taken, " + std::to_string(moved) +
                    " moved, " + std::to_string(failed) + " failed, " +
                    std::to_string(to_fail_queue) + " to the Fail Queue, " +
                    std::to_string(returned) + " returned from it; " +
                    Plural(entries, "host entry", "host entries") + ", " +
                    Plural(busy, "busy answer", "busy answers") + ", " + std::to_string(seconds) +
                    " s waiting for the host");
}

}  // namespace ambervale

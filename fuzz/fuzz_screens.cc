// The host's screens as the program reads them: the sign-on answer, the queue count, the
// record locator, the sine, name, DI and CI lookups (with paging), the ticketing line and the queue
// listing's pages. Input: the screens in the order the entries are answered, cut by the part
// separator, their lines by LF.
#include "config/pnr_identification.h"
#include "config/run_lookup.h"
#include "distribution/check_tau.h"
#include "distribution/queue_listing.h"
#include "fuzz/fuzz_input.h"
#include "host/host_layer.h"
#include "host/queue_count.h"
#include "host/record_locator.h"
#include "host/session.h"
#include "testing/scripted_terminal.h"
#include "testing/test_program.h"

using namespace ambervale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TestProgram p;
  p.form.strTAUDate = "5";
  ambervale::testing::ScriptedTerminalFactory script;
  for (std::string_view screen : fuzz::Parts(fuzz::Text(data, size))) {
    std::vector<std::string> lines;
    for (std::string_view line : fuzz::Parts(screen, SIZE_MAX, '\n')) lines.emplace_back(line);
    script.Answer(std::move(lines));
  }
  HostLayer host(p.form, p.alerts, script);
  std::string state, rloc, sine;
  (void)host.ConnectHost(&state);
  (void)host.sendTECommand("QC/ABC1");
  (void)ReadQueueCount(host.GetScreenText(), 12, "C1");
  (void)GetRLocByTeCommand(host, &rloc, &sine);
  AgentMapping mapping;
  AgentTable& table = mapping.GetOrAdd("MAP.CSV");
  using Kind = std::pair<const char*, const char*>;
  for (auto [by, value] : {Kind{"NAME", "SMITH"}, Kind{"DI.AC", "*1*"}, Kind{"CI", "0#*"},
                           Kind{"DI.X", "A*"}, Kind{"SINE", "XY"}}) {
    clsAgentQueue row{.fldAgentName = value, .fldAgentSine = value, .fldDistributedBy = by};
    row.fldDI_AC = row.fldCI = row.fldDI_X_QD = value;
    table.GetOrAdd(row.fldAgentId()).push_back(row);
  }
  HostPnrView view(host);
  RunLookupLog log(p.form, "ABC123");
  (void)IdentifyPnr(mapping, {clsFromQueue{.fldMappingFileName = "MAP.CSV"}}, sine, view, log);
  bool changed = false;
  (void)RefreshTicketingDate(p.form, host, "ABC123", &changed);
  Session session{p.form, p.alerts, host};
  (void)ListQueue(session, TaskState{.pcc = "ABC1", .q = 12, .queue_address = "12"});
  return 0;
}

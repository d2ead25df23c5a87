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
#include "testing/golden.h"
#include "testing/program_files.h"
#include "testing/scripted_terminal.h"
#include "testing/test_program.h"

using namespace ambervale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ambervale::testing::TestProgram p;
  p.form.strTAUDate = "5";
  ambervale::testing::ScriptedTerminalFactory script;
  for (std::string_view screen : fuzz::Parts(data, size))
    script.Answer(ambervale::testing::ItemParts(screen, "\n"));
  HostLayer host(p.form, p.alerts, script);
  std::string state, rloc, sine;
  (void)host.ConnectHost(&state);
  (void)host.sendTECommand("QC/ABC1");
  (void)ReadQueueCount(host.GetScreenText(), 12, "C1");
  (void)GetRLocByTeCommand(host, &rloc, &sine);
  using ambervale::testing::AgentRow;
  AgentMapping mapping;
  mapping.GetOrAdd("MAP.CSV") = ambervale::testing::AgentRows(
      {AgentRow("NAME", "SMITH"), AgentRow("DI.AC", "*1*"), AgentRow("CI", "0#*"),
       AgentRow("DI.X", "A*"), AgentRow("SINE", "XY")});
  HostPnrView view(host);
  RunLookupLog log(p.form, "ABC123");
  (void)IdentifyPnr(mapping, {clsFromQueue{.fldMappingFileName = "MAP.CSV"}}, sine, view, log);
  bool changed = false;
  (void)RefreshTicketingDate(p.form, host, "ABC123", &changed);
  Session session{p.form, p.alerts, host};
  (void)ListQueue(session, TaskState{.pcc = "ABC1", .q = 12, .queue_address = "12"});
  return 0;
}

#include "distribution/unticketed_test_util.h"

#include <gtest/gtest.h>

#include "config/task_maintenance.h"
#include "platform/classic_text.h"

namespace ambervale::testing {
namespace {

std::string UtkPnr(std::string_view locator, std::string_view owner, std::string_view tau,
                   std::string_view airlines, bool ticketed = false) {
  std::string json = "{\"locator\": \"" + std::string(locator) + "\", \"owner_pcc\": \"" +
                     std::string(owner) + "\", \"name\": \"SMITH/" + std::string(locator) +
                     " MR\", \"airlines\": " + std::string(airlines);
  if (!tau.empty()) json += ", \"tau\": \"TKTG-TAU/XX" + std::string(tau) + "\"";
  if (ticketed) json += ", \"ticketed\": true";
  return json + "}";
}

}  // namespace

std::vector<std::string> UnticketedPnrs() {
  return {UtkPnr("UTK001", "ABC1", "{today+1}", R"(["AA"])"),
          UtkPnr("UTK002", "ABC1", "{today+3}*NOTE", R"(["BA"])"),
          UtkPnr("UTK003", "ABC1", "{today+5}", R"(["AA"])"),
          UtkPnr("UTK004", "ABC1", "{today+2}", R"(["AA"])", true),
          UtkPnr("UTK005", "ABC1", "{today-2}", R"(["AA"])"),
          UtkPnr("UTK006", "DEF3", "{today+1}", R"(["LH"])"),
          UtkPnr("UTK007", "ABC1", "", R"(["AA"])"),
          UtkPnr("UTK008", "DEF3", "{today+2}", R"(["AF", "AA"])")};
}

std::string UnticketedTasksCsv(const std::vector<std::string>& rows) {
  std::string text = "FROM PCC,AIRLINE,DAYS\r\n";
  for (const std::string& row : rows) text += row + "\r\n";
  return text;
}

UnticketedStart::UnticketedStart(const std::vector<std::string>& task_rows, std::string dest_queue,
                                 std::string_view faults,
                                 const std::vector<std::string>& refused_pccs,
                                 StartSettings settings) {
  dir.Write("tasks.csv", UnticketedTasksCsv(task_rows));
  settings.pnr_mode = "UTK";
  settings.fail_queue = false;
  p = std::make_unique<ProgramStart>(
      dir.path(),
      Scenario(UnticketedPnrs(), {{"ABC1/12", {"UTK001", "UTK003"}}}, faults, true, refused_pccs),
      false, settings);
  p->form.UTKToQueue = std::move(dest_queue);
  std::string task_file = "tasks.csv";
  const Status loaded = LoadTaskMaintenanceFile(p->form, task_file);
  EXPECT_TRUE(loaded.ok()) << loaded.message();

  // The report as start-up begins it.
  Logs& logs = p->logs;
  logs.ClearUnticketedTemp();
  logs.AppendUnticketedHeader("XML Ambervale activity log,,,");
  logs.AppendUnticketedHeader("Run date/time:" + FormatDateTime(p->env.LocalNow()) + ",,,");
  logs.AppendUnticketedStatus("");
  logs.AppendUnticketedStatus("PCC,PNR,Destination Queue,");

  entries_at_start = p->tap->entries().size();
  run = std::make_unique<UnticketedRun>(*p->session);
  p->distribution->set_unticketed(run.get());
}

int UnticketedStart::Run() {
  try {
    p->MoveQueue();
  } catch (const ProgramEnded& ended) {
    return ended.exit_code;
  }
  ADD_FAILURE() << "the unticketed run did not end the program";
  return -1;
}

std::vector<std::string> UnticketedStart::Entries() const {
  const std::vector<std::string>& all = p->tap->entries();
  return {all.begin() + static_cast<std::ptrdiff_t>(entries_at_start), all.end()};
}

std::string UnticketedStart::Report() const { return p->Log("Unticketed_PNR_Log_1.csv"); }

}  // namespace ambervale::testing

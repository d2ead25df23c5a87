// The unticketed mode on the simulated host: what the run sends, what it places on the
// destination queue, the report it builds and mails, and how it ends.

#include "distribution/unticketed_run.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <stdexcept>

#include "config/task_maintenance.h"
#include "platform/classic_text.h"
#include "testing/golden.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

std::string UtkPnr(const std::string& locator, const char* owner, const std::string& tau,
                   const std::vector<std::string>& airlines, bool ticketed = false) {
  nlohmann::json pnr = {{"locator", locator},
                        {"owner_pcc", owner},
                        {"airlines", airlines},
                        {"name", "SMITH/" + locator + " MR"},
                        {"ticketed", ticketed}};
  if (!tau.empty()) pnr["tau"] = "TKTG-TAU/XX" + tau;
  return pnr.dump();
}

// The host's unticketed PNRs, today being 06DEC:
//   ABC1: UTK001 AA due today+1, UTK002 BA +3, UTK003 AA +5, UTK004 AA +2 but ticketed,
//         UTK005 AA -2, UTK007 without ticketing line;
//   DEF3: UTK006 LH +1, UTK008 AA +2.
// UTK001 and UTK003 also wait on ABC1/12.
std::unique_ptr<TestProgram> Start(const std::vector<std::string>& tasks,
                                   std::string dest_queue = "41", std::string_view faults = "{}",
                                   const std::vector<std::string>& refused_pccs = {}) {
  auto p = std::make_unique<TestProgram>();
  p->Connect(Scenario(
      {UtkPnr("UTK001", "ABC1", "{today+1}", {"AA"}),
       UtkPnr("UTK002", "ABC1", "{today+3}*NOTE", {"BA"}),
       UtkPnr("UTK003", "ABC1", "{today+5}", {"AA"}),
       UtkPnr("UTK004", "ABC1", "{today+2}", {"AA"}, true),
       UtkPnr("UTK005", "ABC1", "{today-2}", {"AA"}), UtkPnr("UTK006", "DEF3", "{today+1}", {"LH"}),
       UtkPnr("UTK007", "ABC1", "", {"AA"}), UtkPnr("UTK008", "DEF3", "{today+2}", {"AF", "AA"})},
      {{"ABC1/12", {"UTK001", "UTK003"}}}, faults, true, refused_pccs));
  // The unticketed mode: the tasks loaded, the PNRs queued to `dest_queue`, the report begun
  // as start-up begins it.
  p->dir.Write("tasks.csv", Csv(kUnticketedTaskHeader, tasks));
  p->form.strPNRMoveMode = "UTK";
  p->form.FailQueueActivated = false;
  p->form.UTKToQueue = std::move(dest_queue);
  std::string task_file = "tasks.csv";
  const LoadOutcome loaded = LoadTaskMaintenanceFile(p->form, &task_file);
  EXPECT_TRUE(loaded.ok()) << loaded.message();
  p->logs.ClearUnticketedTemp();
  p->logs.AppendUnticketedHeader("XML Ambervale activity log,,,");
  p->logs.AppendUnticketedHeader("Run date/time:" + FormatDateTime(p->env.LocalNow()) + ",,,");
  p->logs.AppendUnticketedStatus("");
  p->logs.AppendUnticketedStatus("PCC,PNR,Destination Queue,");
  return p;
}

// The report itself is in the golden runs, its mail (and the line of a failed one) in those of
// the alerts. Here: signed out after start-up, the run signs on again and its report, appended
// to the earlier one, starts without the lines of the earlier sign-on; a mail that fails
// changes nothing of it.
TEST(UnticketedRunTest, TheReportIsAppendedAndKeptWhenItsMailFails) {
  auto p = Start({"ABC1,ALL,3", "DEF3,\"LH,AA\",2"}, "41", R"({"sign_out_after": 2})");
  p->form.colReportLines = {"Error message: before the sign-on"};
  p->dir.Write("logs/Unticketed_PNR_Log_1.csv", "an earlier report\r\n");
  p->mailers.set_send_error("connection refused");
  EXPECT_EQ(p->MoveQueue(), 0);
  const std::string report = p->Log("Unticketed_PNR_Log_1.csv");
  EXPECT_TRUE(report.starts_with("an earlier report\r\n\r\n\r\nXML Ambervale activity log"));
  EXPECT_FALSE(Contains(report, "before the sign-on"));
  EXPECT_TRUE(Contains(report, "Run completed successfully: Y,,,"));

  std::vector<std::string> progress;
  for (const auto& [control, text] : p->window.caption_history()) {
    if (control == Control::kLabel6) progress.push_back(text);
  }
  EXPECT_EQ(progress, (std::vector<std::string>{"Processing PCC 1 of 2", "Processed PCC 1 of 2",
                                                "Processing PCC 2 of 2", "Processed PCC 2 of 2"}));
  EXPECT_EQ(p->window.progress_value(), 2);
}

// Unticketed runs and what each leaves (src/distribution/testdata/unticketed_runs.txt): "> "
// and the tasks (" ; " apart), then options " | " apart: dest=QUEUE (41 without), refuse=PCC
// (emulation refused), list=PREFIX (the host answers that entry with a list of UTK001),
// busy=PREFIX (the host answers that entry SYSTEM BUSY once),
// break=PREFIX (the terminal throws at that entry), cancel=N (Cancel clicked the Nth time the
// run lets window events run) with answer=Yes or No. Each case gives the exit code, the entries
// sent, the queues filled, the boxes, the mails and the report whole.
TEST(UnticketedRunTest, EachRunSendsQueuesAndReports) {
  ExpectGoldenTable("src/distribution/testdata/unticketed_runs.txt", [](const std::string& item) {
    const std::vector<std::string> parts = ItemParts(item, " | ");
    const std::vector<std::string> tasks = ItemParts(parts[0], " ; ");
    std::map<std::string, std::string> options;
    for (size_t i = 1; i < parts.size(); ++i) {
      options[parts[i].substr(0, parts[i].find('='))] = parts[i].substr(parts[i].find('=') + 1);
    }
    const std::string dest = options.try_emplace("dest", "41").first->second;
    auto p = Start(tasks, dest, "{}", {options["refuse"]});  // "": no PCC refuses
    p->form.tmpCurrentPCC = "OLD";  // from an earlier run: cleared at the start
    if (options.contains("busy"))
      p->tap->Intercept(options["busy"], {"SYSTEM BUSY<CARRIAGE_RETURN/>"});
    if (options.contains("cancel")) {
      p->env.set_operator_name("Ann.Lee");
      p->window.QueueAnswer(options["answer"] == "No" ? BoxAnswer::kNo : BoxAnswer::kYes);
      p->window.OnNextDoEvents([](WindowEvents& events) { events.OnCancelClick(false); },
                               std::stoi(options["cancel"]));
    }
    if (options.contains("list")) {
      p->tap->Intercept(options["list"], {"B.F. COUNT 001<CARRIAGE_RETURN/>",
                                          " 001 *UTK001<TABSTOP/>SMITH/JOHN<CARRIAGE_RETURN/>",
                                          "END OF DISPLAY<CARRIAGE_RETURN/>"});
    }
    if (options.contains("break")) {
      p->tap->OnEntry(options["break"],
                      [] { throw std::runtime_error("the terminal component broke"); });
    }
    const std::optional<int> exit = p->MoveQueue();
    std::string out = "exit " + (exit ? std::to_string(*exit) : std::string("none")) + "\r\nsent:";
    for (const std::string& e : p->tap->entries()) out += " " + e;
    out += "\r\nqueued:";
    for (const char* pcc : {"ABC1", "DEF3", "XYZ9"}) {
      for (const std::string& locator : p->Queue(pcc + std::string("/") + dest)) {
        out += " " + std::string(pcc) + "/" + locator;
      }
    }
    out += "\r\n";
    for (const RecordingWindow::Box& box : p->window.boxes())
      out += "box " + box.title + ": " + box.text + "\r\n";
    out += "mails: " + std::to_string(p->mailers.sent().size()) + "\r\n" +
           p->Log("Unticketed_PNR_Log_1.csv");
    return GoldenLines(out);
  });
}

TEST(UnticketedRunTest, AFailedSignOnEndsTheProgramWithItsReport) {
  auto p = Start({"ABC1,ALL,3"}, "41", R"({"sign_out_after": 2})");
  p->form.strAgentID = "9999";   // refused
  EXPECT_EQ(p->MoveQueue(), 1);  // its entries are the distribution's (QueueTaskTest)
  // The header block as start-up begins it, the run's line, the status block.
  EXPECT_EQ(p->Log("Unticketed_PNR_Log_1.csv"),
            "XML Ambervale activity log,,,\r\nRun date/time:2026/12/06 10:00:00,,,\r\n"
            "Error message: Login to Vantora Desktop has failed. Please check that the login "
            "details in the Settings.ini file are correct.\r\n\r\nPCC,PNR,Destination Queue,\r\n");
  EXPECT_TRUE(p->mailers.attempts().empty());
}

}  // namespace
}  // namespace ambervale::testing

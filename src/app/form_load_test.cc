#include "app/form_load.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/classic_text.h"
#include "platform/files.h"
#include "testing/golden.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Start-up over the files of a clean start changed by each case of src/app/testdata/startups.txt
// ("> name: changes", the changes " | " apart: a settings.ini value "Section/Key=value" where
// "<missing>" leaves the key out; a file's rows "tasks.csv: row ; row" or "MAP1.CSV: row ; row";
// "host.json: JSON"; "answer=Yes" or "No" for the question asked). Each case gives the exit code,
// the timer, the runs, the window (list, boxes with buttons and icon, the Fail Queue frames), the
// entries sent and the logs whole. A stop shows its box, writes its lines and leaves the timer
// off; a clean start runs the timer.
TEST(FormLoadTest, EachStartShowsWritesAndSendsItsOwn) {
  ExpectGoldenTable("src/app/testdata/startups.txt", [](const std::string& item) {
    TestProgram f(false);
    f.WriteStartupFiles();
    SettingsOverrides settings;
    for (const std::string& change : ItemParts(item.substr(item.find(": ") + 2), " | ")) {
      const size_t rows = change.find(": ");
      const std::string file = change.substr(0, rows);
      if (file == "host.json") {
        f.dir.Write(file, change.substr(rows + 2));
      } else if (rows != std::string::npos) {
        const std::vector<std::string> lines = ItemParts(change.substr(rows + 2), " ; ");
        f.dir.Write(file, file == "tasks.csv" ? TasksCsv(lines) : MappingCsv(lines));
      } else if (change.starts_with("answer=")) {
        f.window.QueueAnswer(change.ends_with("Yes") ? BoxAnswer::kYes : BoxAnswer::kNo);
      } else {
        const std::string value = change.substr(change.find('=') + 1);
        settings[change.substr(0, change.find('='))] =
            value == "<missing>" ? std::nullopt : std::optional<std::string>(value);
      }
    }
    f.dir.Write("settings.ini", SettingsText(settings));
    const std::optional<int> exit = f.Load();
    std::string out = "exit " + (exit ? std::to_string(*exit) : "none") + ", timer " +
                      (f.cycle->timer_enabled() ? "on" : "off") + ", runs " +
                      std::to_string(f.runs) + " (window shown " +
                      std::to_string(f.shown_at_first_run) + " at the first)\r\n";
    for (const std::string& line : f.window.list()) out += "list: " + Mid(line, 23) + "\r\n";
    for (const RecordingWindow::Box& box : f.window.boxes()) {
      out += "box " + std::to_string(static_cast<int>(box.buttons)) + " " +
             std::to_string(static_cast<int>(box.icon)) + ": " + box.text + "\r\n";
    }
    out += "frames: " + f.window.caption(Control::kFrmToFail) + " / " +
           f.window.caption(Control::kFrmFromFail) + "\r\nentries:";
    for (const std::string& entry : f.tap ? f.tap->entries() : std::vector<std::string>{}) {
      out += " " + entry;
    }
    return GoldenLines(Replace(out + "\r\n", f.dir.path(), "DIR")) +
           f.Transcript({"debug_log_1.txt", "Unticketed_PNR_Log_1.csv", "tempHeader.txt",
                         "tempHeaderStatus.txt"});
  });
}

// A second copy, and a start without settings.ini, end before anything is written, not even
// the logs folder (the stop's box is in the end-to-end start-up transcript).
TEST(FormLoadTest, EndsBeforeWritingAnything) {
  for (const bool second_copy : {true, false}) {
    TestProgram f(false);
    f.WriteStartupFiles();
    std::optional<SingleInstanceLock> first;
    if (second_copy) {
      first = SingleInstanceLock::TryAcquire(f.dir.path());  // not held: the exit code fails
    } else {
      (void)DeleteFile(f.dir.File("settings.ini"));
    }
    EXPECT_EQ(f.Load(), second_copy ? kExitAnotherCopy : kExitStartupStop);
    EXPECT_EQ(f.window.boxes().size(), second_copy ? 0u : 1u);
    EXPECT_FALSE(FolderExists(f.dir.File("logs"))) << second_copy;
  }
}

// A window whose Fail Queue frames fail, as a broken widget might.
class FailingFrameWindow : public RecordingWindow {
 public:
  void SetCaption(Control control, std::string_view text) override {
    if (control == Control::kFrmToFail) throw std::runtime_error("frame gone");
    RecordingWindow::SetCaption(control, text);
  }
};

TEST(FormLoadTest, AStepThatFailsUnexpectedlyIsSkipped) {
  TestProgram f(false);
  f.WriteStartupFiles();
  FailingFrameWindow window;
  frmMain form(f.env, window, f.logs);
  TestFrontEnd front_end(window);
  auto terminals = ChooseTerminal(form.SettingsPath(), f.env);
  Alerts alerts(form, f.mailers);
  HostLayer host(form, alerts, terminals->factory());
  RunCycle cycle(form, front_end, [] { return ProgramEnd::GoOn(); });
  std::optional<SingleInstanceLock> lock;
  EXPECT_FALSE(Form_Load(form, host, cycle, lock));
  EXPECT_TRUE(cycle.timer_enabled());  // the sign-on and the rest followed
  EXPECT_THAT(f.Log("debug_log_1.txt"),
              HasSubstr(". Start-up step \"fail queue\" skipped: frame gone #####"));
  // The rest of the step is skipped: no placeholder, no disabled line.
  EXPECT_EQ(form.FailQueueNo, "");
  EXPECT_THAT(f.RunLog(), Not(HasSubstr("Disabled -")));
}

}  // namespace
}  // namespace ambervale::testing

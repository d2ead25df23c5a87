// The machine's own parts behind the seams: files, the single-instance lock, the local clock
// and the operator's account.

#include "platform/system_env.h"

#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/files.h"
#include "platform/single_instance.h"
#include "testing/temp_dir.h"

namespace ambervale::testing {
namespace {

TEST(SystemEnvTest, ProgramFolderAndOperatorName) {
  EXPECT_EQ(ChooseProgramFolder("/srv/ambervale//", "/opt/bin/ambervale"), "/srv/ambervale");
  EXPECT_EQ(ChooseProgramFolder("", "/opt/bin/ambervale"), "/opt/bin");
  EXPECT_EQ(ChooseProgramFolder("", ""), ".");
  EXPECT_EQ(OperatorNameFromAccount("  Mary Lane  ,Room 4,,", "mlane"), "Mary Lane");
  EXPECT_EQ(OperatorNameFromAccount("& Lane", "mary"), "Mary Lane");
  // UTF-8 in, Windows-1252 out (frm_main_test); a name the code page cannot write gives the
  // login name.
  EXPECT_EQ(OperatorNameFromAccount("\xE6\x9D\x8E", "li"), "li");
}

TEST(SystemEnvTest, LocalTimeFollowsTheTimeZone) {
  using namespace std::chrono;
  const TimePoint t(sys_days(2026y / December / 6) + hours(23) + minutes(59) + seconds(58) +
                    nanoseconds(123));
  const auto env = NewSystemEnv("/x");
  const char* old = ::getenv("TZ");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("TZ", "EST5", 1);
  ::tzset();
  EXPECT_EQ(env->ToLocal(t), (CivilTime{2026, 12, 6, 18, 59, 58, 123}));
  old != nullptr ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
  ::tzset();
}

TEST(FilesTest, AtomicWritesLeaveNothingBehind) {
  TempDir dir;
  const std::string path = dir.File("a.txt");
  EXPECT_TRUE(AppendToFile(path, "old") && WriteFileAtomically(path, "atomic"));
  EXPECT_EQ(ReadFile(path), "atomic");
  EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"a.txt"});  // no temporary left
  // A time before 1970 keeps its fraction; a folder that cannot be made is not reported made.
  const TimePoint before_epoch(std::chrono::nanoseconds(-1500000000));
  EXPECT_TRUE(SetFileModified(path, before_epoch));
  EXPECT_EQ(FileModified(path), before_epoch);
  EXPECT_FALSE(CreateFolder(dir.File("no/such")));
}

// In a folder that is not there the seam's failures name the path and the reason (they go into
// the logs as they are), and the lock is not held but stops nothing. A second copy is refused by
// the start-up (form_load_test); a killed holder leaves no lock behind (the next start after each
// kill of the fault survival run).
TEST(FilesTest, AMissingFolderFailsWithThePathAndTheReasonAndStopsNoStart) {
  TempDir dir;
  const std::string path = dir.File("no/such/folder/a.txt");
  FileSystem& files = PosixFileSystem();
  EXPECT_EQ(files.Append(path, "x").message(),
            "cannot open " + path + ": No such file or directory");
  EXPECT_EQ(files.WriteAtomically(path, "x").message(), "cannot create " + path + ".tmp" +
                                                            std::to_string(::getpid()) +
                                                            ": No such file or directory");
  const auto nowhere = SingleInstanceLock::TryAcquire(dir.File("missing"));
  EXPECT_TRUE(nowhere.has_value() && !nowhere->held());
}

}  // namespace
}  // namespace ambervale::testing

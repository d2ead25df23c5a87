// The configuration files as start-up reads them (settings.ini, the Task Maintenance file
// tasks.csv, the mapping file MAP.CSV, through the configuration check) and the Fail Queue
// Log. Input: the four files' bytes in that order, cut by the part separator.
#include <sstream>

#include "app/config_check.h"
#include "failqueue/fail_queue_log.h"
#include "fuzz/fuzz_input.h"
#include "platform/file_system.h"
#include "testing/test_program.h"

using namespace ambervale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto files = fuzz::Parts(data, size, 4);
  ambervale::testing::TestProgram p;
  const char* const names[] = {"settings.ini", "tasks.csv", "MAP.CSV", "logs/Fail_Queue_Log.csv"};
  for (size_t i = 0; i < files.size(); ++i) p.dir.Write(names[i], files[i]);
  std::ostringstream out;
  (void)CheckConfiguration(p.env, out);
  FailQueueLog log(p.form, PosixFileSystem());
  (void)log.LoadFailQueueLog();
  log.StartFailQueueLog();
  return 0;
}

// The readers of text held in memory: Windows-1252 conversion, the classic number conversions,
// Like (pattern and text both from the input), the CSV and INI lines, the run log and the
// command line. Input: part 1 (a pattern, INI key or nothing), separator, part 2 (the text).
#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "config/config_csv.h"
#include "config/like.h"
#include "fuzz/fuzz_input.h"
#include "logs/run_log_reader.h"
#include "platform/classic_text.h"
#include "platform/cp1252.h"
#include "platform/ini.h"

using namespace ambervale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::Parts(data, size, 2);
  const std::string_view key = parts[0], text = parts[1];
  if (Utf8ToCp1252(Cp1252ToUtf8(text)) != std::string(text)) std::abort();
  std::string problem;
  (void)ConfigCsvText("F.CSV", std::string(text), problem);
  if (IsNumeric(text) != NumericValue(text).has_value()) std::abort();
  (void)ToInt16(text), (void)ToInt32(text);
  // Like takes time of the lengths multiplied: cells and screen lines are short.
  const std::string_view pattern = key.substr(0, 4096);
  if (Like(text.substr(0, 4096), pattern) && !IsValidLikePattern(pattern)) std::abort();
  (void)ParseCsvText(text);
  (void)ReadIniValue(text, key, key, "default");
  const std::string clear = UnscrambleRunLog(text);
  (void)LastRunLogRecords(clear, 3);
  const std::string args = std::string(text) + '\0';  // the arguments, each ended by NUL
  std::vector<const char*> argv{"ambervale"};
  for (size_t at = 0; at < args.size(); at = args.find('\0', at) + 1) argv.push_back(&args[at]);
  (void)ParseCommandLine(static_cast<int>(argv.size()), argv.data());
  return 0;
}

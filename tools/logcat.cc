// ambervale-logcat: prints Ambervale's scrambled run log in clear text.

#include <langinfo.h>

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "logs/run_log_reader.h"
#include "platform/cp1252.h"
#include "platform/env.h"
#include "platform/files.h"

namespace ambervale {
namespace {

constexpr std::string_view kUsage =
    "Usage: ambervale-logcat [-n N] [--raw] [FILE]\n"
    "Prints Ambervale's run log in clear text.\n"
    "\n"
    "  FILE      the scrambled run log (default: <program folder>/logs/Ambervale_LOG_1.dat,\n"
    "            the program folder being AMBERVALE_HOME or this tool's folder)\n"
    "  -n N      only the last N records (lines)\n"
    "  --raw     the clear bytes as stored (Windows-1252), not converted to UTF-8\n"
    "  --help    this text\n";

struct Options {
  bool help = false;
  std::optional<size_t> last;
  bool raw = false;
  std::string path;
};

std::optional<size_t> ParseCount(std::string_view text) {
  size_t n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return n;
}

// Options from the command line; nullopt after printing why they are unusable.
std::optional<Options> ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      o.help = true;
      return o;
    } else if (arg == "--raw") {
      o.raw = true;
    } else if (arg.starts_with("-n")) {
      const std::string_view value = arg == "-n" ? (i + 1 < argc ? argv[++i] : "") : arg.substr(2);
      o.last = ParseCount(value);
      if (!o.last) {
        std::fprintf(stderr, "ambervale-logcat: -n needs a number of records, not '%.*s'\n",
                     static_cast<int>(value.size()), value.data());
        return std::nullopt;
      }
    } else if (arg.starts_with("-") && arg != "-") {
      std::fprintf(stderr, "ambervale-logcat: unknown option '%s'\n%s", argv[i], kUsage.data());
      return std::nullopt;
    } else if (!o.path.empty()) {
      std::fprintf(stderr, "ambervale-logcat: only one file, got '%s' and '%s'\n", o.path.c_str(),
                   argv[i]);
      return std::nullopt;
    } else {
      o.path = arg;
    }
  }
  if (o.path.empty()) {
    o.path = JoinPath(NewSystemEnv()->ProgramFolder(), "logs/Ambervale_LOG_1.dat");
  }
  return o;
}

bool OutputIsUtf8() {
  std::setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  return codeset != nullptr &&
         (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

int Run(int argc, char** argv) {
  const std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) return 2;
  if (options->help) {
    std::fputs(kUsage.data(), stdout);
    return 0;
  }
  const std::optional<std::string> bytes = ReadFile(options->path);
  if (!bytes) {
    std::fprintf(stderr, "ambervale-logcat: cannot read %s: %s\n", options->path.c_str(),
                 std::strerror(errno));
    return 1;
  }
  const std::string clear = UnscrambleRunLog(*bytes);
  std::string_view shown = clear;
  if (options->last) shown = LastRunLogRecords(clear, *options->last);
  const std::string out =
      options->raw || !OutputIsUtf8() ? std::string(shown) : Cp1252ToUtf8(shown);
  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "ambervale-logcat: cannot write the output\n");
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace ambervale

int main(int argc, char** argv) { return ambervale::Run(argc, argv); }

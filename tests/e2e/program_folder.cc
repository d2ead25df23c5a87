#include "tests/e2e/program_folder.h"

#include <algorithm>

#include "platform/classic_text.h"
#include "platform/files.h"

namespace ambervale::e2e {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// The lines of a CR LF (or LF) text, without their ends.
std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(std::move(line));
    start = end + 1;
  }
  return out;
}

bool IsSectionLine(std::string_view line) { return Trim(line).starts_with("["); }

bool IsSection(std::string_view line, std::string_view section) {
  return UCase(Trim(line)) == "[" + UCase(section) + "]";
}

bool IsKey(std::string_view line, std::string_view key) {
  const size_t eq = line.find('=');
  return eq != std::string_view::npos && UCase(Trim(line.substr(0, eq))) == UCase(key);
}

}  // namespace

std::string DemoFile(std::string_view name) {
  return ReadFile(JoinPath(AMBERVALE_DEMO_DIR, name)).value_or("");
}

void ProgramFolder::Remove(std::string_view name) const { (void)DeleteFile(File(name)); }

void ProgramFolder::CopyDemo() const {
  for (const char* name : {"settings.ini", "TaskMaintenance.csv", "SALES_LON.CSV", "CORPORATE.CSV",
                           "MAN_SALES.CSV", "GROUPS.CSV", "LEISURE.CSV", "host.json"}) {
    Write(name, DemoFile(name));
  }
}

void ProgramFolder::SetSetting(std::string_view section, std::string_view key,
                               std::string_view value) const {
  std::vector<std::string> lines = Lines(Read("settings.ini"));
  const std::string entry = std::string(key) + "=" + std::string(value);
  auto in_section = std::find_if(lines.begin(), lines.end(),
                                 [&](const std::string& l) { return IsSection(l, section); });
  if (in_section == lines.end()) {
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(entry);
  } else {
    auto end = std::find_if(in_section + 1, lines.end(), IsSectionLine);
    auto at =
        std::find_if(in_section + 1, end, [&](const std::string& l) { return IsKey(l, key); });
    if (at != end) {
      *at = entry;
    } else {
      // After the section's last non-empty line.
      while (end != in_section + 1 && Trim(*(end - 1)).empty()) --end;
      lines.insert(end, entry);
    }
  }
  std::string text;
  for (const std::string& line : lines) text += line + std::string(kCrLf);
  Write("settings.ini", text);
}

std::vector<std::string> ProgramFolder::LogNames() const {
  std::vector<std::string> names = ListFolder(File("logs"));
  std::sort(names.begin(), names.end());
  return names;
}

std::string ProgramFolder::RunLog() const { return RunAmbervale({}, 10000, AMBERVALE_LOGCAT).out; }

RunResult ProgramFolder::RunAmbervale(const std::vector<std::string>& args, int timeout_ms,
                                      const std::string& binary) const {
  RunResult result;
  const std::string stem = scratch_.File("run");
  std::unique_ptr<ChildProcess> child =
      ChildProcess::Start(binary, args, {{"AMBERVALE_HOME", path()}}, stem);
  if (child == nullptr) return result;
  result.code = child->Wait(timeout_ms).value_or(-1);
  child.reset();  // killed when it did not end
  result.out = scratch_.Read("run.out");
  result.err = scratch_.Read("run.err");
  return result;
}

std::unique_ptr<ChildProcess> ProgramFolder::StartAmbervale(
    const std::vector<std::string>& args, std::string_view output_name,
    const std::map<std::string, std::string>& env) const {
  std::map<std::string, std::string> all = env;
  all["AMBERVALE_HOME"] = path();
  return ChildProcess::Start(AMBERVALE_BINARY, args, all, scratch_.File(output_name));
}

}  // namespace ambervale::e2e

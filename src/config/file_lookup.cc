#include "config/file_lookup.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/classic_text.h"
#include "platform/files.h"

namespace ambervale {
namespace {

std::vector<std::string> SplitPath(std::string_view name) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= name.size()) {
    const size_t slash = name.find('/', start);
    const size_t end = slash == std::string_view::npos ? name.size() : slash;
    if (end > start) parts.emplace_back(name.substr(start, end - start));
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  return parts;
}

std::string WorkingFolder() {
  std::error_code error;
  const std::filesystem::path cwd = std::filesystem::current_path(error);
  return error ? "." : cwd.string();
}

bool IsKind(const std::string& path, bool last) {
  return last ? FileExists(path) : FolderExists(path);
}

}  // namespace

FileLookup FindFileIgnoringCase(std::string_view folder, std::string_view name) {
  FileLookup result;
  std::string current = !name.empty() && name.front() == '/' ? "/" : std::string(folder);
  const std::vector<std::string> parts = SplitPath(name);
  if (parts.empty()) return result;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    const bool last = i + 1 == parts.size();
    if (part == "." || part == "..") {
      current = JoinPath(current, part);
      if (!IsKind(current, last)) return result;
      continue;
    }
    std::vector<std::string> matches;
    for (const std::string& entry : ListFolder(current)) {
      if (EqualsNoCase(entry, part) && IsKind(JoinPath(current, entry), last)) {
        matches.push_back(entry);
      }
    }
    // A folder that may be entered but not listed still answers for a name as written.
    if (matches.empty() && IsKind(JoinPath(current, part), last)) matches.push_back(part);
    if (matches.empty()) return result;
    if (matches.size() > 1) {
      result.outcome = FileLookup::kAmbiguous;
      result.first = JoinPath(current, matches[0]);
      result.second = JoinPath(current, matches[1]);
      return result;
    }
    current = JoinPath(current, matches[0]);
  }
  result.outcome = FileLookup::kFound;
  result.path = current;
  return result;
}

FileLookup FindConfigFile(std::string_view written, std::string_view program_folder) {
  // Files written on Windows name subfolders with "\".
  const std::string name = Replace(written, "\\", "/");
  if (!name.empty() && name.front() == '/') return FindFileIgnoringCase("/", name);
  FileLookup here = FindFileIgnoringCase(WorkingFolder(), name);
  if (here.outcome != FileLookup::kMissing) return here;
  return FindFileIgnoringCase(program_folder, name);
}

}  // namespace ambervale

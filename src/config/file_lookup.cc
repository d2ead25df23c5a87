#include "config/file_lookup.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/classic_text.h"
#include "platform/file_system.h"
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

bool IsKind(FileSystem& files, const std::string& path, bool last) {
  return KindAt(files, path) == (last ? FileInfo::Kind::kFile : FileInfo::Kind::kFolder);
}

}  // namespace

FileLookup FindFileIgnoringCase(FileSystem& files, std::string_view folder, std::string_view name) {
  FileLookup result;
  std::string current = !name.empty() && name.front() == '/' ? "/" : std::string(folder);
  const std::vector<std::string> parts = SplitPath(name);
  if (parts.empty()) return result;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    const bool last = i + 1 == parts.size();
    if (part == "." || part == "..") {
      current = JoinPath(current, part);
      if (!IsKind(files, current, last)) return result;
      continue;
    }
    std::vector<std::string> matches;
    std::vector<std::string> entries;
    (void)files.List(current, &entries);
    for (const std::string& entry : entries) {
      if (EqualsNoCase(entry, part) && IsKind(files, JoinPath(current, entry), last)) {
        matches.push_back(entry);
      }
    }
    // A folder that may be entered but not listed still answers for a name as written.
    if (matches.empty() && IsKind(files, JoinPath(current, part), last)) matches.push_back(part);
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

FileLookup FindConfigFile(FileSystem& files, std::string_view written,
                          std::string_view program_folder) {
  // Files written on Windows name subfolders with "\".
  const std::string name = Replace(written, "\\", "/");
  if (!name.empty() && name.front() == '/') return FindFileIgnoringCase(files, "/", name);
  FileLookup here = FindFileIgnoringCase(files, WorkingFolder(), name);
  if (here.outcome != FileLookup::kMissing) return here;
  return FindFileIgnoringCase(files, program_folder, name);
}

}  // namespace ambervale

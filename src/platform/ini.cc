#include "platform/ini.h"

#include <unistd.h>

#include <vector>

#include "platform/classic_text.h"
#include "platform/file_system.h"

namespace ambervale {
namespace {

// The value buffer holds 256 characters including the terminating null.
constexpr size_t kMaxValueLength = 255;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

constexpr int32_t kWriteErrorNumber = static_cast<int32_t>(0x8004065EU);
constexpr int32_t kDeleteErrorNumber = static_cast<int32_t>(0x8004065FU);

bool IsIniSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Strip(std::string_view s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && IsIniSpace(s[b])) ++b;
  while (e > b && IsIniSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Names passed in lose their blanks only (tabs and other control characters stay), as the
// profile functions strip them.
std::string_view StripBlanks(std::string_view s) {
  const size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// One physical line of the file: its text and the line end that followed it ("\r\n", "\n"
// or nothing for a last line without one).
struct RawLine {
  std::string text;
  std::string ending;
};

struct IniLines {
  bool bom = false;
  std::vector<RawLine> lines;
};

IniLines SplitLines(std::string_view text) {
  IniLines out;
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    out.bom = true;
    text.remove_prefix(kUtf8Bom.size());
  }
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t lf = text.find('\n', pos);
    if (lf == std::string_view::npos) {
      out.lines.push_back({std::string(text.substr(pos)), ""});
      break;
    }
    size_t end = lf;
    if (end > pos && text[end - 1] == '\r') --end;
    out.lines.push_back(
        {std::string(text.substr(pos, end - pos)), std::string(text.substr(end, lf + 1 - end))});
    pos = lf + 1;
  }
  return out;
}

std::string JoinLines(const IniLines& ini) {
  std::string out;
  if (ini.bom) out.append(kUtf8Bom);
  for (const RawLine& l : ini.lines) {
    out.append(l.text);
    out.append(l.ending);
  }
  return out;
}

enum class LineKind { kOther, kSection, kKey };

struct ParsedLine {
  LineKind kind = LineKind::kOther;
  std::string_view name;   // section or key name, stripped
  std::string_view value;  // key value, stripped
};

// Blank lines, comments (";") and lines that are neither a section header nor "key=value"
// are kOther: a lookup never finds anything in them.
ParsedLine ParseLine(std::string_view line) {
  ParsedLine out;
  const std::string_view t = Strip(line);
  if (t.empty() || t.front() == ';') return out;
  if (t.front() == '[') {
    // A header without its closing "]" names its section all the same, as the profile
    // functions read it: its keys do not fall into the section above.
    const size_t close = t.find(']');
    out.kind = LineKind::kSection;
    out.name = Strip(t.substr(1, close == std::string_view::npos ? close : close - 1));
    return out;
  }
  const size_t eq = t.find('=');
  if (eq == std::string_view::npos) return out;
  out.name = Strip(t.substr(0, eq));
  if (out.name.empty()) return out;
  out.kind = LineKind::kKey;
  out.value = Strip(t.substr(eq + 1));
  return out;
}

bool IsSection(const RawLine& line, std::string_view section) {
  const ParsedLine p = ParseLine(line.text);
  return p.kind == LineKind::kSection && EqualsNoCase(p.name, section);
}

// Index of the first line after the section whose header is at `header`: the next section
// header or the end of the file.
size_t SectionEnd(const IniLines& ini, size_t header) {
  size_t i = header + 1;
  while (i < ini.lines.size() && ParseLine(ini.lines[i].text).kind != LineKind::kSection) ++i;
  return i;
}

std::optional<size_t> FindSection(const IniLines& ini, std::string_view section) {
  for (size_t i = 0; i < ini.lines.size(); ++i) {
    if (IsSection(ini.lines[i], section)) return i;
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const IniLines& ini, size_t header, std::string_view key) {
  const size_t end = SectionEnd(ini, header);
  for (size_t i = header + 1; i < end; ++i) {
    const ParsedLine p = ParseLine(ini.lines[i].text);
    if (p.kind == LineKind::kKey && EqualsNoCase(p.name, key)) return i;
  }
  return std::nullopt;
}

std::string ValueOf(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kMaxValueLength));
}

bool HasLineBreak(std::string_view s) {
  return s.find('\n') != std::string_view::npos || s.find('\r') != std::string_view::npos;
}

// A name that a later read would find again as written: the file's names lose every white
// space around them, names passed in only blanks.
bool IsWritableName(std::string_view name) {
  const std::string_view t = StripBlanks(name);
  return !t.empty() && !HasLineBreak(name) && Strip(t) == t;
}

bool IsWritableSection(std::string_view section) {
  return IsWritableName(section) && section.find(']') == std::string_view::npos;
}

bool IsWritableKey(std::string_view key) {
  const std::string_view t = StripBlanks(key);
  return IsWritableName(key) && t.find('=') == std::string_view::npos && t.front() != ';' &&
         t.front() != '[';
}

// The file's lines, or an empty file when there is none; nullopt when it cannot be read.
std::optional<IniLines> LoadForUpdate(FileSystem& files, const std::string& path) {
  switch (KindAt(files, path)) {
    case FileInfo::Kind::kMissing:
      return IniLines{};
    case FileInfo::Kind::kFile:
      break;
    default:
      return std::nullopt;
  }
  const std::optional<std::string> text = ReadRegularFile(files, path);
  if (!text) return std::nullopt;
  return SplitLines(*text);
}

bool Store(FileSystem& files, const std::string& path, const IniLines& ini) {
  // The file is replaced through a temporary file, so a failed write leaves the old content
  // whole; a file the user may not write stays untouched as it would in place.
  if (files.OnDisk() && KindAt(files, path) == FileInfo::Kind::kFile &&
      ::access(path.c_str(), W_OK) != 0) {
    return false;
  }
  return files.WriteAtomically(path, JoinLines(ini)).ok();
}

void EnsureLastLineEnds(IniLines& ini) {
  if (!ini.lines.empty() && ini.lines.back().ending.empty()) {
    ini.lines.back().ending = std::string(kCrLf);
  }
}

// Inserts `line` after the last non-blank line of the section that starts at `header`, so
// that a blank line separating it from the next section stays where it is.
void InsertIntoSection(IniLines& ini, size_t header, std::string line) {
  const size_t end = SectionEnd(ini, header);
  size_t at = header + 1;
  for (size_t i = header + 1; i < end; ++i) {
    if (!Strip(ini.lines[i].text).empty()) at = i + 1;
  }
  if (ini.lines[at - 1].ending.empty()) ini.lines[at - 1].ending = std::string(kCrLf);
  ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(at),
                   RawLine{std::move(line), std::string(kCrLf)});
}

IniError WriteError() {
  return IniError{kWriteErrorNumber, "clsINI: WriteToINI", "Unsuccessful Write To INI Procedure"};
}

IniError DeleteError(std::string source) {
  return IniError{kDeleteErrorNumber, std::move(source), "Unsuccessful Delete"};
}

}  // namespace

std::string ReadIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view default_value) {
  // The service drops trailing blanks of the default and cuts it to the buffer.
  const std::string fallback = RTrim(default_value).substr(0, kMaxValueLength);
  const std::string_view wanted_section = StripBlanks(section);
  const std::string_view wanted_key = StripBlanks(key);
  if (wanted_key.empty()) return fallback;
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());

  bool in_section = false;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t lf = text.find('\n', pos);
    if (lf == std::string_view::npos) lf = text.size();
    const ParsedLine p = ParseLine(text.substr(pos, lf - pos));
    pos = lf + 1;
    if (p.kind == LineKind::kSection) {
      // Only the first section of the name counts; a later one of the same name is not read.
      if (in_section) return fallback;
      in_section = EqualsNoCase(p.name, wanted_section);
    } else if (in_section && p.kind == LineKind::kKey && EqualsNoCase(p.name, wanted_key)) {
      return ValueOf(p.value);
    }
  }
  return fallback;
}

std::string clsINI::ReadFromINI(std::string_view SectionName, std::string_view KeyName,
                                std::string_view DefaultValue, const std::string& IniFile) const {
  const std::optional<std::string> text = ReadRegularFile(*files_, IniFile);
  return ReadIniValue(text ? std::string_view(*text) : std::string_view(), SectionName, KeyName,
                      DefaultValue);
}

std::optional<IniError> clsINI::WriteToINI(std::string_view SectionName, std::string_view KeyName,
                                           std::string_view value,
                                           const std::string& IniFile) const {
  if (!IsWritableSection(SectionName) || !IsWritableKey(KeyName) || HasLineBreak(value)) {
    return WriteError();
  }
  std::optional<IniLines> ini = LoadForUpdate(*files_, IniFile);
  if (!ini) return WriteError();
  const std::string_view section = StripBlanks(SectionName);
  const std::string_view key = StripBlanks(KeyName);

  const std::optional<size_t> header = FindSection(*ini, section);
  if (!header) {
    EnsureLastLineEnds(*ini);
    ini->lines.push_back({"[" + std::string(section) + "]", std::string(kCrLf)});
    ini->lines.push_back({std::string(key) + "=" + std::string(value), std::string(kCrLf)});
  } else if (const std::optional<size_t> at = FindKey(*ini, *header, key)) {
    // The key keeps the spelling it has in the file.
    RawLine& line = ini->lines[*at];
    line.text = std::string(ParseLine(line.text).name) + "=" + std::string(value);
  } else {
    InsertIntoSection(*ini, *header, std::string(key) + "=" + std::string(value));
  }
  if (!Store(*files_, IniFile, *ini)) return WriteError();
  return std::nullopt;
}

std::optional<IniError> clsINI::DeleteKey(std::string_view SectionName, std::string_view KeyName,
                                          const std::string& IniFile) const {
  const FileInfo::Kind kind = KindAt(*files_, IniFile);
  if (kind != FileInfo::Kind::kFile) {
    if (kind == FileInfo::Kind::kFolder) return DeleteError("clsINI: DeleteKey");
    return std::nullopt;  // nothing to delete
  }
  std::optional<IniLines> ini = LoadForUpdate(*files_, IniFile);
  if (!ini) return DeleteError("clsINI: DeleteKey");
  const std::optional<size_t> header = FindSection(*ini, StripBlanks(SectionName));
  if (!header) return std::nullopt;
  const std::optional<size_t> at = FindKey(*ini, *header, StripBlanks(KeyName));
  if (!at) return std::nullopt;
  ini->lines.erase(ini->lines.begin() + static_cast<std::ptrdiff_t>(*at));
  if (!Store(*files_, IniFile, *ini)) return DeleteError("clsINI: DeleteKey");
  return std::nullopt;
}

std::optional<IniError> clsINI::DeleteSection(std::string_view SectionName,
                                              const std::string& IniFile) const {
  const FileInfo::Kind kind = KindAt(*files_, IniFile);
  if (kind != FileInfo::Kind::kFile) {
    if (kind == FileInfo::Kind::kFolder) return DeleteError("clsINI: DeleteSection");
    return std::nullopt;
  }
  std::optional<IniLines> ini = LoadForUpdate(*files_, IniFile);
  if (!ini) return DeleteError("clsINI: DeleteSection");
  const std::string_view section = StripBlanks(SectionName);
  // Every section of the name goes, so that a later one of the same name does not come to
  // light in its place.
  bool changed = false;
  size_t i = 0;
  while (i < ini->lines.size()) {
    if (IsSection(ini->lines[i], section)) {
      const size_t end = SectionEnd(*ini, i);
      ini->lines.erase(ini->lines.begin() + static_cast<std::ptrdiff_t>(i),
                       ini->lines.begin() + static_cast<std::ptrdiff_t>(end));
      changed = true;
    } else {
      ++i;
    }
  }
  if (changed && !Store(*files_, IniFile, *ini)) return DeleteError("clsINI: DeleteSection");
  return std::nullopt;
}

}  // namespace ambervale

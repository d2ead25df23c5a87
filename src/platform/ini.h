#pragma once

// clsINI: the settings file access of the program, with the semantics of the Windows
// profile-string service: section and key names matched ignoring case, the first matching
// section and the first matching key in it win, white space around the file's names and values
// stripped (names passed in lose their blanks only), a section header without its closing "]"
// naming its section all the same, one
// pair of enclosing double or single quotes stripped from a value, lines starting with ";"
// are comments, values cut to 255 characters, the default for a missing key. Lines end in
// CR LF or LF. A line without "=" is not a key.
//
// The writes change only the lines they must: every other line of the file stays as it was,
// with its own line end; new lines end in CR LF. A missing file or section is created (a
// section is appended at the end of the file). The file is replaced through a temporary file,
// so a failed write leaves the old content whole. Every file access goes through the
// FileSystem given at construction (the machine's own by default).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace ambervale {

// An error of a write operation, as the classic class raises it.
struct IniError {
  int32_t number = 0;  // e.g. 0x8004065E as a signed 32-bit value
  std::string source;  // e.g. "clsINI: WriteToINI"
  std::string description;
};

// Reads `key` of `section` from the text of an INI file.
std::string ReadIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view default_value);

class clsINI {
 public:
  explicit clsINI(FileSystem& files = PosixFileSystem()) : files_(&files) {}

  // The value, or `DefaultValue` when the key (or the file) is missing.
  std::string ReadFromINI(std::string_view SectionName, std::string_view KeyName,
                          std::string_view DefaultValue, const std::string& IniFile) const;

  // Each keeps every other line of the file as it was. nullopt on success.
  //
  // WriteToINI fails with 0x8004065E (-2147219874), "clsINI: WriteToINI", "Unsuccessful Write
  // To INI Procedure" when the file cannot be read or written, and also for a name or value
  // that the file could not give back as written: an empty section or key name, a line break
  // anywhere, a name with white space other than blanks around it, "]" in a section name, "="
  // in a key name, a key name starting with ";" or "[".
  // An existing key keeps its spelling and position; a new key goes after the last non-blank
  // line of its section.
  //
  // DeleteKey removes the first matching key of the first matching section; DeleteSection
  // removes every section of the name with all its lines. A missing file, section or key is
  // not a failure (nothing to delete). Failures: 0x8004065F (-2147219873), "Unsuccessful
  // Delete", source "clsINI: DeleteKey" / "clsINI: DeleteSection".
  std::optional<IniError> WriteToINI(std::string_view SectionName, std::string_view KeyName,
                                     std::string_view value, const std::string& IniFile) const;
  std::optional<IniError> DeleteKey(std::string_view SectionName, std::string_view KeyName,
                                    const std::string& IniFile) const;
  std::optional<IniError> DeleteSection(std::string_view SectionName,
                                        const std::string& IniFile) const;

 private:
  FileSystem* files_;
};

}  // namespace ambervale

#pragma once

// Finds a configuration file whatever the letter case of its name on disk. The Task
// Maintenance file names its mapping files, and the program keeps those names in upper case
// (they are table keys and appear in messages that way), while the files themselves may be
// written sales.csv or Sales.csv. On a case-sensitive file system the name is therefore
// matched component by component without regard to case. When a folder holds two entries
// whose names differ only in case, the file is ambiguous and is refused rather than guessed.

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace ambervale {

struct FileLookup {
  enum Outcome { kFound, kMissing, kAmbiguous };
  Outcome outcome = kMissing;
  // kFound: the absolute path of the file as spelt on disk.
  std::string path;
  // kAmbiguous: the two clashing paths, as spelt on disk.
  std::string first;
  std::string second;
};

// Looks for `name` in `folder` (an absolute folder). An absolute `name` ignores `folder`.
[[nodiscard]] FileLookup FindFileIgnoringCase(FileSystem& files, std::string_view folder,
                                              std::string_view name);

// Looks for `name` as a relative name against the working directory, then against
// `program_folder`; an absolute name is looked for once. The first place that holds the name
// (or holds it twice) decides. A "\" in the name separates folders, as in files written on
// Windows.
[[nodiscard]] FileLookup FindConfigFile(FileSystem& files, std::string_view name,
                                        std::string_view program_folder);

}  // namespace ambervale

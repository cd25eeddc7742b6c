#pragma once
// The few file-system steps that writing a file safely needs and the standard library does not
// give: each platform's own file in this folder implements them.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "library/SafeFile.h"

namespace patchferry::platform {

EntryKind EntryAt(const std::filesystem::path& path);

// How a step that makes a name ended.
enum class Placed { Done, NameTaken, Failed };

// Makes the new file `path`, exclusively and never through a link (NameTaken when anything is
// there), writes `bytes` to it and flushes them to disk. A file it could not finish is removed
// again, and `reason` says why in the system's words.
Placed WriteExclusive(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                      std::string& reason);

// Gives the file `from` the name `to`. Without `replace` a name that is taken by anything is
// never replaced (NameTaken); with it, what is there is replaced as a whole (never written
// through). `reason` is the system's words on failure.
Placed Rename(const std::filesystem::path& from, const std::filesystem::path& to, bool replace,
              std::string& reason);

// Removes the file `path` if it is there; never follows a link.
void RemoveFile(const std::filesystem::path& path);

}  // namespace patchferry::platform

#pragma once
// What the tests need to know about the platform they run on.

#include <filesystem>

namespace patchferry::testing {

// Whether taking every permission away from a file stops this process from reading it: not for
// root, and not on Windows, where it only marks the file read-only.
bool PermissionsCanLockFiles();

// Makes `link` a symbolic link to `to` (which need not be there); false where this process may
// not make links (Windows without the privilege), and the test leaves that case out.
bool MakeSymlink(const std::filesystem::path& to, const std::filesystem::path& link);

}  // namespace patchferry::testing

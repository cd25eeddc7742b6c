#pragma once
// What the tests need to know about the platform they run on.

namespace patchferry::testing {

// Whether taking every permission away from a file stops this process from reading it: not for
// root, and not on Windows, where it only marks the file read-only.
bool PermissionsCanLockFiles();

}  // namespace patchferry::testing

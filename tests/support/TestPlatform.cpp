#include "support/TestPlatform.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace patchferry::testing {

bool PermissionsCanLockFiles() {
#ifdef _WIN32
    return false;
#else
    return geteuid() != 0;
#endif
}

bool MakeSymlink(const std::filesystem::path& to, const std::filesystem::path& link) {
    std::error_code ec;
    std::filesystem::create_symlink(to, link, ec);
    return !ec;
}

}  // namespace patchferry::testing

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

}  // namespace patchferry::testing

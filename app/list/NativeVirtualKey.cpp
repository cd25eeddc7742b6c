// The one place the list asks which platform it runs on.

#include "app/list/NativeVirtualKey.h"

namespace patchferry {

int NativeWindowsVirtualKey([[maybe_unused]] const QKeyEvent& event) {
#ifdef Q_OS_WIN
    return static_cast<int>(event.nativeVirtualKey());
#else
    return 0;
#endif
}

}  // namespace patchferry

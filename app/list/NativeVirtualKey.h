#pragma once
// The platform's own key code of a key event, where that code is a Windows virtual-key code.

#include <QKeyEvent>

namespace patchferry {

// The virtual-key code Windows attached to `event`, or 0 where the platform's native key codes
// are something else (X11 key symbols, macOS key codes) or the event came without one.
int NativeWindowsVirtualKey(const QKeyEvent& event);

}  // namespace patchferry

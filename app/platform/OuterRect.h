#pragma once
// Where a top-level window really is.

#include <QRect>

class QWidget;

namespace patchferry {

// The outer rectangle of the top-level `window`, its frame included, as the window system has it
// now. Under X11 Qt learns a window's position from the window manager's notifications, and around
// the framing of a new window its idea can be off by the frame for a while; there the position is
// asked of the X server. Elsewhere it is Qt's frame geometry.
QRect OuterRectOf(const QWidget& window);

}  // namespace patchferry

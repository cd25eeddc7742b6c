#pragma once
// The program list's colours.

#include <QColor>

namespace patchferry {

inline QColor ListTextColour() {
    return QColor(0x00, 0x40, 0x80);
}
inline QColor ListBackgroundColour() {
    return QColor(0xC1, 0xC1, 0xFF);
}
// Rows whose program name contains the find text.
inline QColor ListFoundBackgroundColour() {
    return QColor(0x80, 0x80, 0xFF);
}

}  // namespace patchferry

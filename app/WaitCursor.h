#pragma once
// Shows the wait cursor for the life of the object. The calls nest: Qt keeps a stack of override
// cursors, and each guard removes only its own.

#include <QApplication>

namespace patchferry {

class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace patchferry

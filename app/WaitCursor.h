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

// Shows the normal arrow for the life of the object while a wait cursor is up, for a message box
// that stops the work to tell the user something. Without a wait cursor nothing changes, so each
// control keeps its own cursor.
class ArrowWhileWaiting {
  public:
    ArrowWhileWaiting() : waiting_(QApplication::overrideCursor() != nullptr) {
        if (waiting_) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ~ArrowWhileWaiting() {
        if (waiting_) {
            QApplication::restoreOverrideCursor();
        }
    }
    ArrowWhileWaiting(const ArrowWhileWaiting&) = delete;
    ArrowWhileWaiting& operator=(const ArrowWhileWaiting&) = delete;

  private:
    bool waiting_;
};

}  // namespace patchferry

// The main window's outer rectangle: restored at start-up, saved at shut-down.
//
// The stored rectangle is the outer one, frame included, while Qt places a window by its client
// area. Under X11 the frame is known only once the window manager has framed the window, after it
// is shown, and window managers differ in where they put a new window asked for at a place: some
// put the client area there, others the frame. So the window is placed twice: at creation, with
// the frame known then (none yet on X11), and again when it is first exposed, moved by however far
// the frame landed from the stored place and with the real frame taken off the size. Without this
// the window grew by its frame and rose by its title bar from run to run.

#include <QEvent>
#include <QWindow>

#include "app/MainFrame.h"
#include "app/platform/OuterRect.h"

namespace patchferry {
namespace {

// The first start's size, as a desktop's default for a new window would give.
constexpr QSize kDefaultSize(900, 560);

}  // namespace

// The stored outer rectangle; ignored when it is empty in either direction, so the window manager's
// default placement stays.
void CMainFrame::RestoreRect() {
    const int top = settings_.ReadInteger(Setting::RectTop);
    const int left = settings_.ReadInteger(Setting::RectLeft);
    const int bottom = settings_.ReadInteger(Setting::RectBottom);
    const int right = settings_.ReadInteger(Setting::RectRight);
    if (right != left && bottom != top) {
        restoredOuter_ = QRect(left, top, right - left, bottom - top);
    }
    winId();  // the frame, where it is known before showing, belongs to a created window
    windowHandle()->installEventFilter(this);
    placementPending_ = true;
    if (restoredOuter_.isValid()) {
        requestedClient_ = restoredOuter_.marginsRemoved(windowHandle()->frameMargins());
        setGeometry(requestedClient_);
    } else {
        // Without a stored place the window manager places it; the size shows the six columns.
        resize(kDefaultSize);
    }
}

void CMainFrame::OnNativeWindowEvent(const QEvent& event) {
    if (event.type() != QEvent::Expose || !placementPending_ || !windowHandle()->isExposed()) {
        return;
    }
    placementPending_ = false;
    if (!restoredOuter_.isValid() || windowState() != Qt::WindowNoState) {
        return;
    }
    const QRect outer = OuterRectOf(*this);
    if (outer == restoredOuter_) {
        return;
    }
    // Where the frame landed for the first request tells how the window manager reads the next.
    requestedClient_ =
        QRect(requestedClient_.topLeft() + (restoredOuter_.topLeft() - outer.topLeft()),
              restoredOuter_.marginsRemoved(windowHandle()->frameMargins()).size());
    setGeometry(requestedClient_);
}

// A minimized window keeps the rectangle of the previous run.
void CMainFrame::SaveRect() {
    if (isMinimized()) {
        return;
    }
    const QRect outer = OuterRectOf(*this);
    settings_.Write(Setting::RectTop, outer.top());
    settings_.Write(Setting::RectLeft, outer.left());
    settings_.Write(Setting::RectBottom, outer.top() + outer.height());
    settings_.Write(Setting::RectRight, outer.left() + outer.width());
}

}  // namespace patchferry

#include "app/list/ProgramListView.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "app/list/ListNotifyEvent.h"
#include "app/list/VirtualKey.h"

namespace patchferry {

ProgramListView::ProgramListView(QWidget* parent) : GridListCtrl(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int column) { Notify(static_cast<int>(ListNotifyCode::HeaderClick), column); });
}

// Only the left button's double-click is reported: the others select, as their single clicks do.
void ProgramListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Notify(static_cast<int>(ListNotifyCode::DoubleClick), 0);
    }
    GridListCtrl::mouseDoubleClickEvent(event);
}

void ProgramListView::keyPressEvent(QKeyEvent* event) {
    if (const int key = VirtualKeyOf(*event); key != 0) {
        Notify(static_cast<int>(ListNotifyCode::KeyDown), key);
    }
    GridListCtrl::keyPressEvent(event);
}

void ProgramListView::Notify(int code, int param) {
    // The window is looked up each time: the list may be reparented after creation.
    // The event queue takes ownership of a posted event.
    QCoreApplication::postEvent(
        window(), new ListNotifyEvent(code, param));  // NOLINT(cppcoreguidelines-owning-memory)
}

}  // namespace patchferry

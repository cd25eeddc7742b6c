#pragma once

#include "app/list/GridListCtrl.h"

namespace patchferry {

// The program list of the main window: a sunken grid list that reports left double-clicks
// (anywhere in the rows area, also below the last row), header clicks and key presses to its
// top-level window by posting a ListNotifyEvent. Posting lets the list finish its own handling
// first, so an arrow key has already moved the selection when the window sees it.
class ProgramListView : public GridListCtrl {
    Q_OBJECT

  public:
    explicit ProgramListView(QWidget* parent = nullptr);

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Notify(int code, int param);
};

}  // namespace patchferry

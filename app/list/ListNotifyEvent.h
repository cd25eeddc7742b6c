#pragma once

#include <QEvent>

namespace patchferry {

// What the program list reports to its window.
enum class ListNotifyCode { DoubleClick = 1, HeaderClick = 2, KeyDown = 3 };

// The list's notification to the main window. It is always posted, never sent, so the window
// handles it after the list has finished its own handling of the mouse or key event.
class ListNotifyEvent : public QEvent {
  public:
    static QEvent::Type EventType();

    ListNotifyEvent(int code, int param);

    int Code() const { return code_; }
    int Param() const { return param_; }

  private:
    int code_;
    int param_;
};

}  // namespace patchferry

#include "app/list/ListNotifyEvent.h"

namespace patchferry {

QEvent::Type ListNotifyEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

ListNotifyEvent::ListNotifyEvent(int code, int param)
    : QEvent(EventType()), code_(code), param_(param) {}

}  // namespace patchferry

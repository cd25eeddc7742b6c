#include <QWidget>

#include "app/platform/OuterRect.h"

namespace patchferry {

QRect OuterRectOf(const QWidget& window) {
    return window.frameGeometry();
}

}  // namespace patchferry

#include "app/Icons.h"

namespace patchferry {

QIcon OpenIcon() {
    return QIcon(QStringLiteral(":/icons/open.svg"));
}
QIcon FindIcon() {
    return QIcon(QStringLiteral(":/icons/find.svg"));
}
QIcon AuditionIcon() {
    return QIcon(QStringLiteral(":/icons/audition.svg"));
}
QIcon AboutIcon() {
    return QIcon(QStringLiteral(":/icons/about.svg"));
}
QIcon ProgramIcon() {
    return QIcon(QStringLiteral(":/icons/patchferry.svg"));
}

}  // namespace patchferry

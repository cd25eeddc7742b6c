#include "app/Icons.h"

#include <array>

namespace patchferry {

namespace {

// The sizes rendered for each icon; Qt picks the nearest and scales the rest.
constexpr std::array kIconSizes{16, 24, 32, 48};

QIcon IconFromPngs(const QString& name) {
    QIcon icon;
    for (const int size : kIconSizes) {
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(name).arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

QIcon OpenIcon() {
    return IconFromPngs(QStringLiteral("open"));
}
QIcon FindIcon() {
    return IconFromPngs(QStringLiteral("find"));
}
QIcon AuditionIcon() {
    return IconFromPngs(QStringLiteral("audition"));
}
QIcon AboutIcon() {
    return IconFromPngs(QStringLiteral("about"));
}
QIcon ProgramIcon() {
    return IconFromPngs(QStringLiteral("patchferry"));
}

}  // namespace patchferry

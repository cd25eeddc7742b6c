#pragma once
// The toolbar images and the program icon, drawn for this program as small SVG files.

#include <QIcon>

namespace patchferry {

QIcon OpenIcon();
QIcon FindIcon();
QIcon AuditionIcon();
QIcon AboutIcon();
QIcon ProgramIcon();

}  // namespace patchferry

#pragma once
// The toolbar images and the program icon. They are drawn as SVG files (app/resources/*.svg) and
// kept as PNGs of a few sizes (scripts/render-icons.sh), so that no image plugin has to be
// installed for them to show: Qt reads PNG itself on every platform, while SVG needs a plugin
// that some systems leave out.

#include <QIcon>

namespace patchferry {

QIcon OpenIcon();
QIcon FindIcon();
QIcon AuditionIcon();
QIcon AboutIcon();
QIcon ProgramIcon();

}  // namespace patchferry

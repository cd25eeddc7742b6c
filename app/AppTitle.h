#pragma once
// The application title, used for the window title and the message boxes' caption.

#include <QString>

namespace patchferry {

inline QString AppTitle() {
    return QStringLiteral("Patchferry");
}

// "Patchferry 0.5": the version comes from the project version in the top-level CMakeLists.txt.
QString VersionLine();

}  // namespace patchferry

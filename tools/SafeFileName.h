#pragma once
// File names made from program names, safe on every common file system, also for files that are
// written here and copied to Windows later.

#include <string>
#include <string_view>

namespace patchferry::cli {

// `stem` + `extension` made safe: every character other than an ASCII letter, digit, space, "-"
// or "_" becomes "_" (so no stem ends in a dot), leading and trailing spaces go, an empty stem
// becomes "_", and a stem that Windows keeps for a device (CON, PRN, AUX, NUL, COM0..COM9,
// LPT0..LPT9, in any letter case, whatever the extension) gets a "_" appended. `extension` is
// taken as given, dot included.
std::string SafeFileName(std::string_view stem, std::string_view extension);

}  // namespace patchferry::cli

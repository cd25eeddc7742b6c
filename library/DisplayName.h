#pragma once
// The name under which an opened file is listed and reported.

#include <string>
#include <string_view>

namespace patchferry {

// `fileName` is the name without its folder. The name is cut before its first "." unless that
// "." is its first character. When the file was the only one chosen, the name first loses its last
// extension, so a lone ".bank.syx" is listed as ".bank"; among several files it stays whole.
std::string DisplayName(std::string_view fileName, bool onlyFileChosen);

// The last path component of a UTF-8 path: after the last "/", and on Windows also after the last
// "\" or drive ":".
std::string FileNameOf(std::string_view path);

}  // namespace patchferry

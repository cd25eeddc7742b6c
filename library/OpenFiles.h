#pragma once
// Reading the files of one Open into the library, as the window and the command line both do.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramLibrary.h"

namespace patchferry {

// How a file that could not be read is reported: filled with its display name and the reader's
// text.
inline constexpr std::string_view kParseFailureFormat = "Failed to parse Syx file %s. %s";

std::string ParseFailureMessage(std::string_view displayName, std::string_view error);

struct OpenFailure {
    std::string path;
    std::string displayName;
    std::string error;
};

// Clears the library and reads each of `paths` (UTF-8) in order, each labelled with its display
// name (a single path loses its extension first). `onFailure` is called for each file that fails,
// at once, before the next file is read. Returns how many files were read.
int OpenSyxFiles(ProgramLibrary& library, const std::vector<std::string>& paths,
                 const std::function<void(const OpenFailure&)>& onFailure);

}  // namespace patchferry

#include "OpenFiles.h"

#include "DisplayName.h"

namespace patchferry {

std::string ParseFailureMessage(std::string_view displayName, std::string_view error) {
    // Filled by position, so a "%s" inside a file name stays as it is.
    constexpr std::string_view format = kParseFailureFormat;
    constexpr std::size_t first = format.find("%s");
    constexpr std::size_t second = format.find("%s", first + 2);
    std::string text;
    text.reserve(format.size() + displayName.size() + error.size());
    text.append(format.substr(0, first))
        .append(displayName)
        .append(format.substr(first + 2, second - first - 2))
        .append(error)
        .append(format.substr(second + 2));
    return text;
}

int OpenSyxFiles(ProgramLibrary& library, const std::vector<std::string>& paths,
                 const std::function<void(const OpenFailure&)>& onFailure) {
    library.Clear();
    int filesRead = 0;
    const bool onlyOne = paths.size() == 1;
    for (const auto& path : paths) {
        const std::string label = DisplayName(FileNameOf(path), onlyOne);
        std::string error;
        if (library.ReadSyxFile(path, error, label)) {
            ++filesRead;
        } else if (onFailure) {
            onFailure(OpenFailure{path, label, error});
        }
    }
    return filesRead;
}

}  // namespace patchferry

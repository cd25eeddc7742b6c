#include "DisplayName.h"

#include <filesystem>

namespace patchferry {

std::string DisplayName(std::string_view fileName, bool onlyFileChosen) {
    std::string_view name = fileName;
    if (onlyFileChosen) {
        const auto lastDot = name.rfind('.');
        if (lastDot != std::string_view::npos) {
            name = name.substr(0, lastDot);
        }
    }
    const auto firstDot = name.find('.');
    if (firstDot != std::string_view::npos && firstDot > 0) {
        name = name.substr(0, firstDot);
    }
    return std::string(name);
}

std::string FileNameOf(std::string_view path) {
    // Where a backslash separates folders (Windows), so does the ":" after a drive: "C:bank.syx".
    constexpr bool kBackslashSeparates = std::filesystem::path::preferred_separator == '\\';
    const auto slash = kBackslashSeparates ? path.find_last_of("/\\:") : path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace patchferry

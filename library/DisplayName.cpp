#include "DisplayName.h"

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
#ifdef _WIN32
    const auto slash = path.find_last_of("/\\");
#else
    const auto slash = path.find_last_of('/');
#endif
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace patchferry

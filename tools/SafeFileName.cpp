#include "SafeFileName.h"

#include <algorithm>
#include <array>

namespace patchferry::cli {

namespace {

constexpr char kReplacement = '_';

bool IsSafe(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' ||
           c == '-' || c == '_';
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Upper(x) == Upper(y); });
}

// Windows opens the device instead of a file for these names, with or without an extension.
bool IsReservedOnWindows(std::string_view stem) {
    constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
    constexpr std::array<std::string_view, 2> kNumberedDevices = {"COM", "LPT"};
    if (std::any_of(kDevices.begin(), kDevices.end(),
                    [stem](std::string_view device) { return EqualsIgnoringCase(stem, device); })) {
        return true;
    }
    return stem.size() == 4 && stem[3] >= '0' && stem[3] <= '9' &&
           std::any_of(kNumberedDevices.begin(), kNumberedDevices.end(),
                       [stem](std::string_view device) {
                           return EqualsIgnoringCase(stem.substr(0, 3), device);
                       });
}

}  // namespace

std::string SafeFileName(std::string_view stem, std::string_view extension) {
    std::string name;
    name.reserve(stem.size() + extension.size() + 1);
    for (const char c : stem) {
        name += IsSafe(c) ? c : kReplacement;
    }
    // Windows drops trailing spaces (and dots) from names; some systems refuse leading ones.
    const auto first = name.find_first_not_of(' ');
    const auto last = name.find_last_not_of(' ');
    name = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
    if (name.empty() || IsReservedOnWindows(name)) {
        name += kReplacement;
    }
    return name.append(extension);
}

}  // namespace patchferry::cli

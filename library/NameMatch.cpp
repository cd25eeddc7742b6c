#include "NameMatch.h"

namespace patchferry {

std::string ToLowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

bool NameMatches(std::string_view name, std::string_view lowerFindText) {
    return !lowerFindText.empty() && ToLowerAscii(name).find(lowerFindText) != std::string::npos;
}

}  // namespace patchferry

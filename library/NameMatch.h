#pragma once
// Finding programs by part of their name.

#include <string>
#include <string_view>

namespace patchferry {

// ASCII capitals onto small letters; every other byte stays as it is.
std::string ToLowerAscii(std::string_view text);

// True when `lowerFindText` is not empty and the lower-cased `name` contains it as one run of
// characters, starting anywhere.
bool NameMatches(std::string_view name, std::string_view lowerFindText);

}  // namespace patchferry

#pragma once
// Paths travel through Patchferry as UTF-8 text, whatever the platform; this is where they become
// file-system paths and back. On Windows the file system takes UTF-16, so both ways convert.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace patchferry {

// The path named by `text`, or nothing when the text cannot name a file here (on Windows, text
// that is not valid UTF-8). Never throws.
std::optional<std::filesystem::path> PathFromUtf8(std::string_view text);

// `path` as UTF-8 text, for messages and for passing on; never throws. A path that cannot be
// converted (on Windows, one holding a lone UTF-16 surrogate) gives its generic ASCII spelling
// with "?" for each character beyond ASCII.
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace patchferry

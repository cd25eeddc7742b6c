#include "Utf8Path.h"

#include <cstdint>

namespace patchferry {

std::optional<std::filesystem::path> PathFromUtf8(std::string_view text) {
    try {
        return std::filesystem::path(
            std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
    } catch (const std::exception&) {
        // The conversion to the platform's own encoding refused the text.
        return std::nullopt;
    }
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    try {
        const auto text = path.u8string();
        return std::string(text.begin(), text.end());
    } catch (const std::exception&) {
        std::string text;
        for (const auto c : path.native()) {
            text += static_cast<std::uint32_t>(c) < 0x80 ? static_cast<char>(c) : '?';
        }
        return text;
    }
}

}  // namespace patchferry

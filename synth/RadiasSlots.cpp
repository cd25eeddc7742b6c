#include "synth/RadiasSlots.h"

#include <cctype>
#include <charconv>

#include "synth/RadiasFacts.h"

namespace patchferry::synth {
namespace {

std::optional<int> Number(const std::string& text, int first, int last) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < first || value > last) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string SlotName(int slot) {
    const int number = slot % radias::kProgramsPerBank + 1;
    std::string name(1, static_cast<char>('A' + slot / radias::kProgramsPerBank));
    name += static_cast<char>('0' + number / 10);
    name += static_cast<char>('0' + number % 10);
    return name;
}

std::optional<int> ParseSlot(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    const char bank = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (bank >= 'A' && bank < 'A' + radias::kBanks) {
        const auto number = Number(text.substr(1), 1, radias::kProgramsPerBank);
        if (!number || text.size() > 3) {
            return std::nullopt;
        }
        return (bank - 'A') * radias::kProgramsPerBank + *number - 1;
    }
    const auto number = Number(text, 1, radias::kPrograms);
    return number ? std::optional(*number - 1) : std::nullopt;
}

std::optional<std::pair<int, int>> ParseSlotRange(const std::string& text) {
    const auto dash = text.find('-');
    const auto first = ParseSlot(text.substr(0, dash));
    const auto last = dash == std::string::npos ? first : ParseSlot(text.substr(dash + 1));
    if (!first || !last || *last < *first) {
        return std::nullopt;
    }
    return std::pair(*first, *last);
}

}  // namespace patchferry::synth

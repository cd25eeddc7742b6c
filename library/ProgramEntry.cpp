#include "ProgramEntry.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace patchferry {

namespace {

constexpr std::array<std::string_view, 4> kCategoryLabels = {"Single", "Split", "Dual", "Vocoder"};

constexpr bool IsTrailingSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

ProgramEntry::ProgramEntry(char bankLetter, int number, const Ms2kProgramImage& image,
                           std::string fileLabel)
    : bankLetter_(bankLetter), number_(number), image_(image), fileLabel_(std::move(fileLabel)) {}

ProgramEntry::ProgramEntry(char bankLetter, int number,
                           std::span<const std::uint8_t, kMs2kProgramSize> image,
                           std::string fileLabel)
    : bankLetter_(bankLetter), number_(number), fileLabel_(std::move(fileLabel)) {
    std::copy(image.begin(), image.end(), image_.begin());
}

std::string ProgramEntry::BankLabel() const {
    return std::string(1, bankLetter_);
}

std::string ProgramEntry::NumberLabel() const {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%03d", number_);
    return text.data();
}

std::string ProgramEntry::Name() const {
    std::size_t length = 0;
    while (length < kMs2kNameLength && image_[kMs2kNameOffset + length] != 0) {
        ++length;
    }
    while (length > 0 && IsTrailingSpace(static_cast<char>(image_[kMs2kNameOffset + length - 1]))) {
        --length;
    }
    std::string name(length, '\0');
    for (std::size_t i = 0; i < length; ++i) {
        name[i] = static_cast<char>(image_[kMs2kNameOffset + i]);
    }
    return name;
}

std::string_view ProgramEntry::CategoryLabel() const {
    return kCategoryLabels[static_cast<std::size_t>(VoiceModeOf(image_))];
}

}  // namespace patchferry

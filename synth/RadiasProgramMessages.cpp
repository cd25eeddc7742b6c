#include "synth/RadiasProgramMessages.h"

#include <algorithm>

namespace patchferry::synth {
namespace {

constexpr std::size_t kNumberAt = korg::kHeaderSize;
constexpr std::size_t kHalfAt = korg::kHeaderSize + 1;

bool IsRadiasHeader(std::span<const std::uint8_t> message, radias::Function function) {
    return message.size() > korg::kHeaderSize && message[0] == korg::kSysExStart &&
           message[1] == korg::kKorgId && (message[2] & 0xF0U) == korg::kFormatIdHighNibble &&
           message[3] == radias::kModelId && message[4] == static_cast<std::uint8_t>(function);
}

}  // namespace

ProgramDumpRequest ProgramDumpRequestFor(int slot, int channel) {
    return {korg::kSysExStart,
            korg::kKorgId,
            static_cast<std::uint8_t>(korg::kFormatIdHighNibble + channel),
            radias::kModelId,
            static_cast<std::uint8_t>(radias::Function::ProgramDumpRequest),
            static_cast<std::uint8_t>(slot % radias::kProgramsPerHalf),
            static_cast<std::uint8_t>(slot / radias::kProgramsPerHalf),
            korg::kSysExEnd};
}

std::optional<int> StoredProgramSlot(std::span<const std::uint8_t> message) {
    if (message.size() != kStoredProgramDumpSize ||
        !IsRadiasHeader(message, radias::Function::ProgramDump) ||
        message.back() != korg::kSysExEnd || message[kNumberAt] >= radias::kProgramsPerHalf ||
        message[kHalfAt] >= radias::kPrograms / radias::kProgramsPerHalf) {
        return std::nullopt;
    }
    // Only the closing byte may have its top bit set.
    const auto body = message.subspan(1, message.size() - 2);
    if (std::any_of(body.begin(), body.end(), [](std::uint8_t b) { return b >= 0x80; })) {
        return std::nullopt;
    }
    return message[kHalfAt] * radias::kProgramsPerHalf + message[kNumberAt];
}

std::optional<std::size_t> CountStoredProgramDumps(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() % kStoredProgramDumpSize != 0) {
        return std::nullopt;
    }
    for (std::size_t at = 0; at < bytes.size(); at += kStoredProgramDumpSize) {
        if (!StoredProgramSlot(bytes.subspan(at, kStoredProgramDumpSize))) {
            return std::nullopt;
        }
    }
    return bytes.size() / kStoredProgramDumpSize;
}

}  // namespace patchferry::synth

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

StoredProgramDump BuildStoredProgramDump(const RadiasProgramImage& image, int slot, int channel) {
    const ProgramDump current = BuildProgramDump(image, channel);
    StoredProgramDump dump{};
    std::copy_n(current.begin(), korg::kHeaderSize, dump.begin());
    dump[4] = static_cast<std::uint8_t>(radias::Function::ProgramDump);
    dump[kNumberAt] = static_cast<std::uint8_t>(slot % radias::kProgramsPerHalf);
    dump[kHalfAt] = static_cast<std::uint8_t>(slot / radias::kProgramsPerHalf);
    std::copy(current.begin() + korg::kHeaderSize, current.end(),
              dump.begin() + korg::kHeaderSize + radias::kAddressSize);
    return dump;
}

StoredProgramDump OnChannel(std::span<const std::uint8_t, kStoredProgramDumpSize> dump,
                            int channel) {
    StoredProgramDump moved{};
    std::copy(dump.begin(), dump.end(), moved.begin());
    moved[2] = static_cast<std::uint8_t>(korg::kFormatIdHighNibble + channel);
    return moved;
}

std::optional<std::size_t> FirstDifference(std::span<const std::uint8_t> written,
                                           std::span<const std::uint8_t> readBack) {
    const std::size_t common = std::min(written.size(), readBack.size());
    for (std::size_t at = 0; at < common; ++at) {
        const bool rewritten = std::find(kRewrittenOffsets.begin(), kRewrittenOffsets.end(),
                                         at) != kRewrittenOffsets.end();
        if (!rewritten && written[at] != readBack[at]) {
            return at;
        }
    }
    if (written.size() != readBack.size()) {
        return common;
    }
    return std::nullopt;
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

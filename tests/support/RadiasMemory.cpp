#include "support/RadiasMemory.h"

#include <algorithm>

#include "convert/RadiasProgramImage.h"
#include "synth/ProgramDump.h"
#include "synth/RadiasFacts.h"
#include "synth/RadiasProgramMessages.h"

namespace patchferry::testing {

std::vector<std::uint8_t> StoredDump(int slot, int channel) {
    RadiasProgramImage image{};
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(static_cast<std::size_t>(slot) * 7U + i * 13U);
    }
    const ProgramDump current = BuildProgramDump(image, channel);
    std::vector<std::uint8_t> dump(synth::kStoredProgramDumpSize);
    std::copy_n(current.begin(), korg::kHeaderSize, dump.begin());
    dump[4] = static_cast<std::uint8_t>(synth::radias::Function::ProgramDump);
    dump[5] = static_cast<std::uint8_t>(slot % synth::radias::kProgramsPerHalf);
    dump[6] = static_cast<std::uint8_t>(slot / synth::radias::kProgramsPerHalf);
    std::copy(current.begin() + korg::kHeaderSize, current.end(), dump.begin() + 7);
    return dump;
}

RadiasMemory::RadiasMemory(int channel) : channel_(channel) {
    for (int slot = 0; slot < synth::radias::kPrograms; ++slot) {
        programs_.push_back(StoredDump(slot, channel));
    }
}

std::vector<std::vector<std::uint8_t>> RadiasMemory::Answer(std::span<const std::uint8_t> sent) {
    const auto request = synth::ProgramDumpRequestFor(0, channel_);
    const auto header = [&](std::size_t size) {
        return sent.size() == size &&
               std::equal(request.begin(), request.begin() + 4, sent.begin());
    };
    if (silentAfter_ >= 0 && answered_ >= silentAfter_) {
        return {};
    }
    if (header(request.size()) && sent[4] == request[4] && sent[6] <= 1 && sent[5] <= 127) {
        ++answered_;
        return {programs_[static_cast<std::size_t>(sent[6] * 128 + sent[5])]};
    }
    const auto slot = synth::StoredProgramSlot(sent);
    if (!header(synth::kStoredProgramDumpSize) || !slot) {
        return {};
    }
    ++answered_;
    const auto answer = [this](synth::radias::Function function) {
        return std::vector<std::vector<std::uint8_t>>{
            {0xF0, 0x42, static_cast<std::uint8_t>(0x30 + channel_), synth::radias::kModelId,
             static_cast<std::uint8_t>(function), 0xF7}};
    };
    if (protected_) {
        return answer(synth::radias::Function::DataLoadError);
    }
    const int stored = otherHalf_ ? (*slot + 128) % 256 : *slot;
    auto& program = programs_[static_cast<std::size_t>(stored)];
    program.assign(sent.begin(), sent.end());
    program[5] = static_cast<std::uint8_t>(stored % 128);
    program[6] = static_cast<std::uint8_t>(stored / 128);
    return answer(synth::radias::Function::DataLoadCompleted);
}

std::vector<std::uint8_t> RadiasMemory::Backup(int first, int last) const {
    std::vector<std::uint8_t> bytes;
    for (int slot = first; slot <= last; ++slot) {
        const auto& dump = programs_[static_cast<std::size_t>(slot)];
        bytes.insert(bytes.end(), dump.begin(), dump.end());
    }
    return bytes;
}

}  // namespace patchferry::testing

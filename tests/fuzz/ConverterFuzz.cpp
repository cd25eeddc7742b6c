// Any MS2000 program, of any voice mode, converts to a Radias program with a verdict; the dump
// built from the result is one whole Radias message on the asked channel that unpacks to the
// image. Never a crash, never a value out of a table.
//
// Input: the 254 bytes of the program (shorter inputs padded with zeros), then one byte whose low
// four bits are the channel.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "convert/ProgramConverter.h"
#include "synth/ProgramDump.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace patchferry;
    const std::span<const std::uint8_t> input(data, size);
    Ms2kProgramImage program{};
    const std::size_t used = std::min(input.size(), program.size());
    std::copy_n(input.begin(), used, program.begin());
    const int channel = input.size() > program.size() ? input[program.size()] & 0x0F : 0;

    ProgramConverter converter(program);
    converter.Convert();
    const RadiasProgramImage first = converter.Image();
    converter.Convert();
    const bool good = converter.Quality() == ConversionQuality::Good;
    if (converter.Image() != first || good != converter.Report().Text().empty() ||
        VerdictText(converter.Report()).empty()) {
        std::abort();  // a second run gives the same, and only a good one names nothing
    }

    const ProgramDump dump = BuildProgramDump(converter.Image(), channel);
    if (dump.front() != radias_dump::kSysExStart || dump[1] != radias_dump::kKorgId ||
        dump[2] != (radias_dump::kFormatIdHighNibble | channel) ||
        dump[3] != radias_dump::kRadiasModelId || dump[4] != radias_dump::kCurrentProgramDump ||
        dump.back() != radias_dump::kSysExEnd ||
        !std::all_of(dump.begin() + 1, dump.end() - 1, [](std::uint8_t b) { return b < 0x80; })) {
        std::abort();
    }
    RadiasProgramImage unpacked{};
    const auto packed = std::span(dump).subspan(radias_dump::kHeaderSize, radias_dump::kPackedSize);
    if (KorgUnpack(packed, unpacked) != unpacked.size() || unpacked != converter.Image()) {
        std::abort();
    }
    return 0;
}

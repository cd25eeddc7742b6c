#include "convert/ProgramConverter.h"

#include <algorithm>
#include <cstdint>
#include <span>

#include "convert/BitFields.h"
#include "convert/ProgramLayout.h"
#include "convert/RadiasInitTemplate.h"

namespace patchferry {
namespace {

// MS2000 program bytes read at program level.
constexpr std::size_t kTempoHigh = 30;  // beats per minute, high byte first
constexpr std::size_t kTempoLow = 31;

// Radias program bytes written at program level.
constexpr BitField kTimbre1InUse{18, 0};
constexpr BitField kTimbre2InUse{18, 1};
constexpr std::size_t kRadiasTempoLow = 1060;  // tenths of a beat per minute, low byte first
constexpr std::size_t kRadiasTempoHigh = 1061;
constexpr unsigned kTenthsPerBeat = 10;

}  // namespace

void ProgramConverter::Convert() {
    report_.Reset();
    image_ = RadiasInitTemplateImage();
    ConvertProgram();
}

void ProgramConverter::ConvertProgram() {
    const std::span<const std::uint8_t> p{source_};
    const std::span<std::uint8_t> r{image_};

    // 1, 2: a Vocoder program is refused and leaves the init program as it is
    const VoiceMode mode = VoiceModeOf(source_);
    if (mode == VoiceMode::Vocoder) {
        report_.RefuseVocoder();
        return;
    }

    // 3: program name, byte for byte
    std::copy_n(p.begin() + kMs2kNameOffset, kMs2kNameLength, r.begin() + kRadiasNameOffset);

    // 4: tempo, big-endian beats per minute into little-endian tenths
    const unsigned tenths = kTenthsPerBeat * ((unsigned{p[kTempoHigh]} << 8U) | p[kTempoLow]);
    r[kRadiasTempoLow] = static_cast<std::uint8_t>(tenths & 0xFFU);
    r[kRadiasTempoHigh] = static_cast<std::uint8_t>((tenths >> 8U) & 0xFFU);

    // 5: arpeggiator; values wider than the Radias field are cut without a report
    SetBits(r, {1062, 7}, GetBits(p, {32, 7}));                       // 5a
    SetBits(r, {1062, 6}, GetBits(p, {32, 0}));                       // 5b
    SetBits(r, {1064, 4, 7}, static_cast<std::uint8_t>(p[35] + 1U));  // 5c
    SetBits(r, {1064, 0, 2}, GetBits(p, {33, 0, 3}));                 // 5d
    SetBits(r, {1065, 7}, GetBits(p, {32, 6}));                       // 5e
    SetBits(r, {1065, 5, 6}, GetBits(p, {33, 4, 7}));                 // 5f
    r[1066] = p[34];                                                  // 5g
    r[1067] = p[36];                                                  // 5h

    // 6: the timbres in use; Split and Dual differ only in the key ranges
    SetBits(r, kTimbre1InUse, 1);
    SetBits(r, kTimbre2InUse, mode == VoiceMode::Single ? 0 : 1);
    ConvertTimbre(1);
    if (mode != VoiceMode::Single) {
        ConvertTimbre(2);
    }
}

}  // namespace patchferry

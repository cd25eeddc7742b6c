#include "convert/ProgramConverter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

#include "convert/BitFields.h"
#include "convert/ProgramLayout.h"
#include "convert/RadiasInitTemplate.h"

namespace patchferry {
namespace {

// MS2000 program fields read at program level: tempo and arpeggiator.
constexpr std::size_t kTempoHigh = 30;  // beats per minute, high byte first
constexpr std::size_t kTempoLow = 31;
constexpr BitField kArpOn{32, 7};
constexpr BitField kArpLatch{32, 6};
constexpr BitField kArpKeySync{32, 0};
constexpr BitField kArpType{33, 0, 3};
constexpr BitField kArpRange{33, 4, 7};  // octaves
constexpr std::size_t kArpGate = 34;
constexpr std::size_t kArpResolution = 35;
constexpr std::size_t kArpSwing = 36;

// Radias program fields written at program level.
constexpr BitField kTimbre1InUse{18, 0};
constexpr BitField kTimbre2InUse{18, 1};
// Beside the timbre switches, and so taken to be the vocoder's; not confirmed (see
// RadiasVocoderLayout.h), so the vocoder block's own switch is set as well.
constexpr BitField kVocoderInUse{18, 4};
constexpr std::size_t kRadiasTempoLow = 1060;  // tenths of a beat per minute, low byte first
constexpr std::size_t kRadiasTempoHigh = 1061;
constexpr unsigned kTenthsPerBeat = 10;
constexpr BitField kRadiasArpOn{1062, 7};
constexpr BitField kRadiasArpKeySync{1062, 6};
constexpr BitField kRadiasArpResolution{1064, 4,
                                        7};  // counts from 1 where the MS2000 counts from 0
constexpr BitField kRadiasArpType{1064, 0, 2};
constexpr BitField kRadiasArpLatch{1065, 7};
constexpr BitField kRadiasArpRange{1065, 5, 6};
constexpr std::size_t kRadiasArpGate = 1066;
constexpr std::size_t kRadiasArpSwing = 1067;

}  // namespace

ProgramConverter::ProgramConverter(const Ms2kProgramImage& source) : source_(source) {
    LoadInitProgram();
}

void ProgramConverter::LoadInitProgram() {
    // Through std::copy, which calls the library's memmove: the compiler would expand an array
    // assignment to a string instruction, several times slower for an image of this size.
    const RadiasProgramImage& init = RadiasInitTemplateImage();
    std::copy(init.begin(), init.end(), image_.begin());
    holdsInitProgram_ = true;
}

void ProgramConverter::Convert() {
    report_.Reset();
    if (!holdsInitProgram_) {
        LoadInitProgram();
    }
    ConvertProgram();
}

void ProgramConverter::ConvertProgram() {
    holdsInitProgram_ = false;
    const std::span<const std::uint8_t> p{source_};
    const std::span<std::uint8_t> r{image_};

    const VoiceMode mode = VoiceModeOf(source_);

    // memcpy, which becomes two moves; std::copy_n of these 12 bytes would call memmove.
    std::memcpy(r.data() + kRadiasNameOffset, p.data() + kMs2kNameOffset, kMs2kNameLength);

    const unsigned tenths = kTenthsPerBeat * ((unsigned{p[kTempoHigh]} << 8U) | p[kTempoLow]);
    r[kRadiasTempoLow] = static_cast<std::uint8_t>(tenths & 0xFFU);
    r[kRadiasTempoHigh] = static_cast<std::uint8_t>((tenths >> 8U) & 0xFFU);

    // Values wider than the Radias field are cut without a report. Each shared byte is built
    // from the init program's own byte, not read back from the image, which the copy has only
    // just written (reading it would wait for the copy to land).
    const RadiasProgramImage& init = RadiasInitTemplateImage();
    static_assert(kRadiasArpOn.offset == kRadiasArpKeySync.offset &&
                  kRadiasArpResolution.offset == kRadiasArpType.offset &&
                  kRadiasArpLatch.offset == kRadiasArpRange.offset);
    std::uint8_t arp = init[kRadiasArpOn.offset];
    arp = WithBits(arp, kRadiasArpOn, GetBits(p, kArpOn));
    r[kRadiasArpOn.offset] = WithBits(arp, kRadiasArpKeySync, GetBits(p, kArpKeySync));
    arp = init[kRadiasArpType.offset];
    arp = WithBits(arp, kRadiasArpResolution, static_cast<std::uint8_t>(p[kArpResolution] + 1U));
    r[kRadiasArpType.offset] = WithBits(arp, kRadiasArpType, GetBits(p, kArpType));
    arp = init[kRadiasArpLatch.offset];
    arp = WithBits(arp, kRadiasArpLatch, GetBits(p, kArpLatch));
    r[kRadiasArpLatch.offset] = WithBits(arp, kRadiasArpRange, GetBits(p, kArpRange));
    r[kRadiasArpGate] = p[kArpGate];
    r[kRadiasArpSwing] = p[kArpSwing];

    // The timbres in use; Split and Dual differ only in the key ranges. A Vocoder program plays
    // timbre 1 as the vocoder's carrier.
    const bool twoTimbres = mode == VoiceMode::Split || mode == VoiceMode::Dual;
    std::uint8_t inUse = init[kTimbre1InUse.offset];
    inUse = WithBits(inUse, kTimbre1InUse, 1);
    inUse = WithBits(inUse, kTimbre2InUse, twoTimbres ? 1 : 0);
    inUse = WithBits(inUse, kVocoderInUse, mode == VoiceMode::Vocoder ? 1 : 0);
    r[kTimbre1InUse.offset] = inUse;
    if (mode == VoiceMode::Vocoder) {
        ConvertVocoder();
        return;
    }
    ConvertTimbre(1);
    if (twoTimbres) {
        ConvertTimbre(2);
    }
}

}  // namespace patchferry

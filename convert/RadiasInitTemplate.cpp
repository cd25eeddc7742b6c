#include "convert/RadiasInitTemplate.h"

#include <array>

namespace patchferry {
namespace {

constexpr RadiasProgramImage Unpack() {
    RadiasProgramImage image{};
    KorgUnpack(kRadiasInitTemplatePacked, image);
    return image;
}

// The stored stream fills the image exactly: the short last group ends on the last byte.
constexpr bool FillsTheImageExactly() {
    std::array<std::uint8_t, kRadiasProgramSize + 1> roomier{};
    return KorgUnpack(kRadiasInitTemplatePacked, roomier) == kRadiasProgramSize;
}
static_assert(FillsTheImageExactly());

constexpr RadiasProgramImage kUnpacked = Unpack();

static_assert(kUnpacked[0] == 'I' && kUnpacked[11] == 'm');
static_assert(kUnpacked[1060] == 0xB0 && kUnpacked[1061] == 0x04);
static_assert(kUnpacked[1789] == 0x80);

}  // namespace

const RadiasProgramImage& RadiasInitTemplateImage() {
    return kUnpacked;
}

}  // namespace patchferry

#include "convert/RadiasInitTemplate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>

#include "convert/ProgramLayout.h"

namespace patchferry {
namespace {

std::string Text(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST(RadiasInitTemplate, StoredFormIsAValidSevenBitStreamThatFillsOneProgram) {
    for (std::size_t i = 0; i < kRadiasInitTemplatePacked.size(); ++i) {
        ASSERT_EQ(kRadiasInitTemplatePacked[i] & 0x80, 0) << "byte " << i;
    }
    // The last group is short: its flag byte may use only the five bits of its data bytes.
    EXPECT_EQ(kRadiasInitTemplatePacked[2040] & 0x60, 0);

    // Unpacked here from the stored bytes, not taken from the shared copy.
    RadiasProgramImage unpacked{};
    ASSERT_EQ(KorgUnpack(kRadiasInitTemplatePacked, unpacked), kRadiasProgramSize);
    EXPECT_EQ(RadiasInitTemplateImage(), unpacked);
}

// What the header promises about the init program, which every conversion starts from.
TEST(RadiasInitTemplate, IsTheDocumentedInitProgram) {
    const RadiasProgramImage& init = RadiasInitTemplateImage();
    const std::span<const std::uint8_t> image{init};
    EXPECT_EQ(Text(image.first(kRadiasNameLength)), "Init Program");
    EXPECT_EQ(init[18], 0x81);    // timbre 1 in use
    EXPECT_EQ(init[1060], 0xB0);  // tempo 120.0, in tenths, low byte first
    EXPECT_EQ(init[1061], 0x04);

    // Four equal timbre blocks but for the header's first byte and the digit of the name.
    const auto block = [&](std::size_t k) {
        return image.subspan(RadiasTimbreOffset(k), kRadiasTimbreSize);
    };
    for (std::size_t k = 1; k <= kRadiasTimbreCount; ++k) {
        const auto name = block(k).subspan(radias::kName.bits.offset, radias::kName.count);
        EXPECT_EQ(Text(name), "InitTimbre" + std::to_string(k) + " ");
        EXPECT_EQ(block(k)[0], k == 1 ? 0x80 : 0x00) << k;
        for (std::size_t i = 1; i < kRadiasTimbreSize; ++i) {
            if (i != radias::kName.bits.offset + 10) {
                ASSERT_EQ(block(k)[i], block(1)[i]) << "block " << k << " byte " << i;
            }
        }
    }
}

}  // namespace
}  // namespace patchferry

#include "convert/RadiasInitTemplate.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace patchferry {
namespace {

std::vector<std::uint8_t> Hex(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::uint8_t> bytes;
    unsigned value = 0;
    while (in >> std::hex >> value) {
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// The init program as the Radias documents it, written out here independently of the stored
// packed form.
std::vector<std::uint8_t> DocumentedInitProgram() {
    std::vector<std::uint8_t> image =
        Hex("49 6E 69 74 20 50 72 6F 67 72 61 6D 00 00 00 00"
            " 0F 00 81 00 00 00 02 01 00 64 40 40 00 00 00 00"
            " 00 2D 40 80 00 00 00 00 3C 80 80 80 80 80 80 80");
    const std::vector<std::uint8_t> block =
        Hex("80 00 01 00 10 FF 00 7F 00 0A 40 42 00 03 00 00"
            " 49 6E 69 74 54 69 6D 62 72 65 31 20 00 00 00 00"
            " 80 00 05 40 40 4F 00 00 00 00 00 00 40 40 7F 00"
            " 00 00 20 7F 00 40 40 40 7F 00 40 40 40 64 10 00"
            " 00 40 40 00 00 40 7F 00 01 40 40 40 00 40 7F 00"
            " 01 40 40 40 00 40 7F 00 01 40 40 40 02 40 05 00"
            " 05 02 40 46 00 0D 03 00 40 04 00 40 03 07 40 04"
            " 07 40 04 0B 40 04 0C 40 00 00 00 00 00 00 00 00"
            " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
            " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
            " 00 00 00 00 00 00 00 00 18 40 0E 40 0F 93 01 00"
            " 40 40 40 40 40 40 40 40 40 40 40 40 40 40 40 40"
            " 00 00 40 40 40 40 40 40 40 40 40 40 40 40 40 40"
            " 40 40 00 00 40 40 40 40 40 40 40 40 40 40 40 40"
            " 40 40 40 40");
    EXPECT_EQ(block.size(), 228U);
    for (const char digit : {'1', '2', '3', '4'}) {
        std::vector<std::uint8_t> copy = block;
        if (digit != '1') {
            copy[0] = 0x00;
            copy[26] = static_cast<std::uint8_t>(digit);
        }
        Append(image, copy);
    }
    Append(image, Hex("10 64 00 00 00 7F 00 40 00 7F 7F 7F 00 7F 7F 7F"
                      " 00 7F 7F 7F 00 7F 7F 7F 00 7F 7F 7F 00 7F 7F 7F"
                      " 00 7F 7F 7F 00 7F 7F 7F 03 40 14 40 1E 01 00 00"
                      " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                      " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 22"
                      " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                      " 00 00 00 00 B0 04 00 3F 20 0F 00 00 00 7F"));
    const std::vector<std::uint8_t> settings = Hex("21 0F 00 00 3C 00 00 7F");
    image.insert(image.end(), 32, 0xB2);
    image.insert(image.end(), 32, 0x80);
    for (int part = 0; part < 2; ++part) {
        Append(image, settings);
        image.insert(image.end(), 32, 0x32);
        image.insert(image.end(), 288, 0x80);
    }
    return image;
}

TEST(RadiasInitTemplate, StoredFormUnpacksToTheDocumentedProgram) {
    const std::vector<std::uint8_t> documented = DocumentedInitProgram();
    ASSERT_EQ(documented.size(), kRadiasProgramSize);

    // Unpacked here from the stored bytes, not taken from the shared copy.
    RadiasProgramImage unpacked{};
    ASSERT_EQ(KorgUnpack(kRadiasInitTemplatePacked, unpacked), kRadiasProgramSize);
    for (std::size_t i = 0; i < kRadiasProgramSize; ++i) {
        ASSERT_EQ(unpacked[i], documented[i]) << "byte " << i;
    }
    EXPECT_EQ(RadiasInitTemplateImage(), unpacked);
}

TEST(RadiasInitTemplate, StoredFormIsAValidSevenBitStream) {
    for (std::size_t i = 0; i < kRadiasInitTemplatePacked.size(); ++i) {
        ASSERT_EQ(kRadiasInitTemplatePacked[i] & 0x80, 0) << "byte " << i;
    }
    // The last group is short: its flag byte may use only the five bits of its data bytes.
    EXPECT_EQ(kRadiasInitTemplatePacked[2040] & 0x60, 0);
    const std::string name(RadiasInitTemplateImage().begin(),
                           RadiasInitTemplateImage().begin() + 12);
    EXPECT_EQ(name, "Init Program");
}

}  // namespace
}  // namespace patchferry

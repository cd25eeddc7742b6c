#include <gtest/gtest.h>

#include "tools/SafeFileName.h"

namespace patchferry::cli {
namespace {

TEST(SafeFileName, CharactersOutsideThePortableSetBecomeUnderscores) {
    EXPECT_EQ(SafeFileName("A001 Lead-1_x", ".syx"), "A001 Lead-1_x.syx");
    EXPECT_EQ(SafeFileName("Pad/Voc?:*<>|\"\\", ".syx"), "Pad_Voc________.syx");
    EXPECT_EQ(SafeFileName("B\xC3\xA4ss", ".syx"), "B__ss.syx");  // each byte of a UTF-8 "ä"
    EXPECT_EQ(SafeFileName("Lead.", ".syx"), "Lead_.syx");        // never a stem ending in "."
    EXPECT_EQ(SafeFileName("  Pad  ", ".syx"), "Pad.syx");
    EXPECT_EQ(SafeFileName("   ", ".syx"), "_.syx");
    EXPECT_EQ(SafeFileName("", ".syx"), "_.syx");
}

TEST(SafeFileName, NamesWindowsKeepsForDevicesAreMadeOrdinaryInAnyCase) {
    for (const char* device :
         {"CON", "con", "Prn", "aux", "NUL", "COM1", "com9", "LPT1", "lPt0", "COM0", " AUX "}) {
        const std::string name = SafeFileName(device, ".syx");
        EXPECT_EQ(name.substr(name.size() - 5), "_.syx") << device;
    }
    EXPECT_EQ(SafeFileName("nul", ""), "nul_");
    // Only whole device names are kept: these are ordinary names.
    for (const char* ordinary : {"CONSOLE", "COM10", "LPT", "A001 CON", "NULL", "AUXX", "COMA"}) {
        EXPECT_EQ(SafeFileName(ordinary, ".syx"), std::string(ordinary) + ".syx") << ordinary;
    }
    EXPECT_EQ(SafeFileName("NUL.txt", ".syx"), "NUL_txt.syx");
}

}  // namespace
}  // namespace patchferry::cli

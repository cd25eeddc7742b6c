#include <gtest/gtest.h>

#include "library/ProgramLibrary.h"
#include "support/SyxBuilder.h"

namespace patchferry {
namespace {

using testing::MakeImage;

std::string Listing(const ProgramLibrary& library) {
    std::string text;
    for (int i = 0; i < library.Count(); ++i) {
        const auto& e = library[static_cast<std::size_t>(i)];
        text += e.FileLabel() + ":" + e.BankLabel() + std::to_string(e.Number()) + " ";
    }
    return text;
}

void Add(ProgramLibrary& library, const std::string& file, char bank, int number,
         std::string_view name = "x", VoiceMode mode = VoiceMode::Single) {
    library.Append(std::make_unique<ProgramEntry>(bank, number, MakeImage(name, mode), file));
}

TEST(LibrarySort, FileSortComparesTheJoinedKey) {
    ProgramLibrary library;
    Add(library, "A", 'C', 1);
    Add(library, "Ab", 'A', 1);
    Add(library, "A", 'B', 16);
    library.SortByColumn(0);
    EXPECT_EQ(Listing(library), "A:B16 Ab:A1 A:C1 ");
}

TEST(LibrarySort, CaseIsFoldedAndEqualKeysKeepTheirOrder) {
    ProgramLibrary library;
    Add(library, "bank1", 'A', 2);
    Add(library, "BANK1", 'A', 1);
    Add(library, "BANK1", 'A', 2);
    Add(library, "bank1", 'A', 1);
    library.SortByColumn(0);
    EXPECT_EQ(Listing(library), "BANK1:A1 bank1:A1 bank1:A2 BANK1:A2 ");
}

TEST(LibrarySort, NumberSortGroupsByNumberThenFile) {
    ProgramLibrary library;
    for (const char* file : {"b", "a"}) {
        for (int n = 2; n >= 1; --n) {
            Add(library, file, 'A', n);
            Add(library, file, 'B', n);
        }
    }
    library.SortByColumn(2);
    EXPECT_EQ(Listing(library), "a:A1 a:B1 b:A1 b:B1 a:A2 a:B2 b:A2 b:B2 ");
}

TEST(LibrarySort, BankProgramAndCategoryKeys) {
    ProgramLibrary library;
    Add(library, "f", 'B', 1, "pad", VoiceMode::Dual);
    Add(library, "g", 'A', 10, "Bass", VoiceMode::Vocoder);
    Add(library, "f", 'A', 9, "BIG LEAD", VoiceMode::Single);
    Add(library, "f", 'A', 10, "arp", VoiceMode::Split);

    library.SortByColumn(1);
    EXPECT_EQ(Listing(library), "f:A9 g:A10 f:A10 f:B1 ");  // A10 of both files tie: kept order
    library.SortByColumn(3);
    EXPECT_EQ(library[0].Name(), "arp");
    EXPECT_EQ(library[1].Name(), "Bass");
    EXPECT_EQ(library[2].Name(), "BIG LEAD");
    EXPECT_EQ(library[3].Name(), "pad");
    library.SortByColumn(4);  // "dualb" < "singlea" < "splita" < "vocodera"
    EXPECT_EQ(Listing(library), "f:B1 f:A9 f:A10 g:A10 ");
}

TEST(LibrarySort, PrefixSortsFirstAndBytesCompareUnsigned) {
    ProgramLibrary library;
    Add(library, "f", 'A', 1, "Pad\xE9");
    Add(library, "f", 'A', 2, "Pad2");
    Add(library, "f", 'A', 3, "Pad");
    library.SortByColumn(3);
    EXPECT_EQ(library[0].Number(), 3);
    EXPECT_EQ(library[1].Number(), 2);
    EXPECT_EQ(library[2].Number(), 1);
}

TEST(LibrarySort, ConversionInfoOutOfRangeAndTinyLibrariesChangeNothing) {
    ProgramLibrary library;
    library.SortByColumn(0);
    EXPECT_EQ(library.Count(), 0);
    Add(library, "z", 'B', 1);
    library.SortByColumn(1);
    Add(library, "a", 'A', 1);
    const auto before = Listing(library);
    for (const int column : {5, -1, 6, 100}) {
        library.SortByColumn(column);
        EXPECT_EQ(Listing(library), before);
    }
}

}  // namespace
}  // namespace patchferry

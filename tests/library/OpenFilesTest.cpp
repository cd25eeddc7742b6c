#include "library/OpenFiles.h"

#include <gtest/gtest.h>

#include "support/SyxBuilder.h"

namespace patchferry {
namespace {

using testing::MakeBankDump;
using testing::MakeDump;
using testing::MakeImage;
using testing::TempDir;

TEST(OpenFiles, ReadsEveryFileReportsEachFailureAndCountsOnlyTheReadOnes) {
    TempDir dir;
    const auto first = dir.Write("My.Bank.syx", MakeBankDump());
    const auto bad = dir.Write("bad.syx", {0x00, 0x01});
    const auto third = dir.Write("third.syx", MakeDump(0x40, {MakeImage("Solo")}));
    ProgramLibrary library;
    std::string error;
    library.ReadSyxFile(third, error, "stale");  // cleared by the Open
    std::vector<OpenFailure> failures;
    const int read = OpenSyxFiles(library, {first, bad, third},
                                  [&](const OpenFailure& f) { failures.push_back(f); });
    EXPECT_EQ(read, 2);
    ASSERT_EQ(library.Count(), 129);
    EXPECT_EQ(library[0].FileLabel(), "My");
    EXPECT_EQ(library[128].FileLabel(), "third");
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(ParseFailureMessage(failures[0].displayName, failures[0].error),
              "Failed to parse Syx file bad. File is not a valid Korg Syx File");
}

TEST(OpenFiles, ASingleFileLosesItsExtensionBeforeTheCut) {
    TempDir dir;
    const auto only = dir.Write(".hidden.syx", MakeDump(0x40, {MakeImage("x")}));
    ProgramLibrary library;
    EXPECT_EQ(OpenSyxFiles(library, {only}, nullptr), 1);
    EXPECT_EQ(library[0].FileLabel(), ".hidden");
}

TEST(OpenFiles, MessageKeepsPercentSignsOfNamesAsTheyAre) {
    EXPECT_EQ(ParseFailureMessage("100%s", "Cannot open file"),
              "Failed to parse Syx file 100%s. Cannot open file");
}

}  // namespace
}  // namespace patchferry

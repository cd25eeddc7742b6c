#include "library/DisplayName.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "library/NameMatch.h"

namespace patchferry {
namespace {

TEST(DisplayName, OneFileLosesItsLastExtensionThenIsCutAtTheFirstDot) {
    EXPECT_EQ(DisplayName("bank.syx", true), "bank");
    EXPECT_EQ(DisplayName("My.Bank.syx", true), "My");
    EXPECT_EQ(DisplayName(".hidden.syx", true), ".hidden");
    EXPECT_EQ(DisplayName("noext", true), "noext");
}

TEST(DisplayName, AmongSeveralFilesANameIsOnlyCutAtItsFirstDot) {
    EXPECT_EQ(DisplayName("My.Bank.syx", false), "My");
    EXPECT_EQ(DisplayName(".hidden.syx", false), ".hidden.syx");
    EXPECT_EQ(DisplayName("Über Bank.syx", false), "Über Bank");
}

TEST(DisplayName, FileNameOfAPath) {
    EXPECT_EQ(FileNameOf("/home/u/My.Bank.syx"), "My.Bank.syx");
    EXPECT_EQ(FileNameOf("plain.syx"), "plain.syx");
    EXPECT_EQ(FileNameOf("Bänke/Flächen & Bässe.syx"), "Flächen & Bässe.syx");
    // A backslash separates folders only where the system says so; elsewhere it is a character.
    const bool windows = std::filesystem::path::preferred_separator == '\\';
    EXPECT_EQ(FileNameOf("C:\\Sounds\\Pads.syx"), windows ? "Pads.syx" : "C:\\Sounds\\Pads.syx");
    EXPECT_EQ(FileNameOf("D:Leads.syx"), windows ? "Leads.syx" : "D:Leads.syx");
}

TEST(NameMatch, LowerCasedContainsAnywhere) {
    const std::string find = ToLowerAscii("LEAD");
    EXPECT_TRUE(NameMatches("Lead 1", find));
    EXPECT_TRUE(NameMatches("BIG LEAD", find));
    EXPECT_TRUE(NameMatches("Mislead", find));
    EXPECT_FALSE(NameMatches("Bass", find));
    EXPECT_FALSE(NameMatches("Pad", find));
    EXPECT_FALSE(NameMatches("Lead", ""));
    EXPECT_TRUE(NameMatches("Big Pad", "g p"));
}

}  // namespace
}  // namespace patchferry

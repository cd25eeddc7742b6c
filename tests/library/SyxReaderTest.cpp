#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "library/ProgramLibrary.h"
#include "library/SyxFormat.h"
#include "support/SyxBuilder.h"
#include "support/TestPlatform.h"

namespace patchferry {
namespace {

using testing::BankImage;
using testing::MakeBankDump;
using testing::MakeDump;
using testing::MakeImage;
using testing::TempDir;

constexpr std::uint8_t kCurrent = 0x40;
constexpr std::uint8_t kBank = 0x4C;
constexpr std::uint8_t kAll = 0x50;

std::vector<Ms2kProgramImage> Bank() {
    std::vector<Ms2kProgramImage> images;
    for (std::size_t p = 0; p < 128; ++p) {
        images.push_back(BankImage(p));
    }
    return images;
}

std::vector<std::uint8_t> Edited(std::vector<std::uint8_t> bytes, std::size_t at,
                                 std::uint8_t value) {
    bytes.at(at) = value;
    return bytes;
}

std::vector<std::uint8_t> Cut(const std::vector<std::uint8_t>& bytes, std::size_t length) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)};
}

class SyxReader : public ::testing::Test {
  protected:
    bool Read(const std::vector<std::uint8_t>& bytes, const std::string& label = "file") {
        error_.clear();
        return library_.ReadSyxBytes(bytes, error_, label);
    }
    ProgramLibrary library_;
    std::string error_;
};

TEST_F(SyxReader, CurrentProgramDumpGivesOneEntryA1) {
    const auto dump = MakeDump(kCurrent, {MakeImage("Lead 1")});
    ASSERT_EQ(dump.size(), 297U);
    ASSERT_TRUE(Read(dump, "single")) << error_;
    ASSERT_EQ(library_.Count(), 1);
    EXPECT_EQ(library_[0].BankLabel(), "A");
    EXPECT_EQ(library_[0].NumberLabel(), "001");
    EXPECT_EQ(library_[0].Name(), "Lead 1");
    EXPECT_EQ(library_[0].FileLabel(), "single");
}

TEST_F(SyxReader, ProgramAndAllDataDumpsGiveTheSame128EntriesInBankOrder) {
    const auto images = Bank();
    for (const std::uint8_t function : {kBank, kAll}) {
        library_.Clear();
        const auto dump = MakeDump(function, images);
        ASSERT_EQ(dump.size(), function == kBank ? 37163U : 37392U);
        ASSERT_TRUE(Read(dump)) << error_;
        ASSERT_EQ(library_.Count(), 128);
        for (std::size_t p = 0; p < 128; ++p) {
            EXPECT_EQ(library_[p].BankLetter(), static_cast<char>('A' + p / 16));
            EXPECT_EQ(library_[p].Number(), static_cast<int>(p % 16) + 1);
            ASSERT_EQ(library_[p].Image(), images[p]) << "program " << p;
        }
        EXPECT_EQ(library_[127].BankLabel(), "H");
        EXPECT_EQ(library_[127].NumberLabel(), "016");
    }
}

TEST_F(SyxReader, ChannelNibbleIsIgnored) {
    ASSERT_TRUE(Read(MakeDump(kBank, Bank(), 0x0F)));
    EXPECT_EQ(library_.Count(), 128);
}

TEST_F(SyxReader, HeaderMustBeAnMs2000Dump) {
    const auto good = MakeDump(kCurrent, {MakeImage("x")});
    const std::vector<std::vector<std::uint8_t>> bad = {
        {},
        {0xF0},
        {0xF0, 0x42, 0x30, 0x58},                    // four bytes: the fifth counts as 0
        {0xF0, 0x42, 0x20, 0x58, 0x40, 0x00, 0xF7},  // format nibble 2
        {0xF0, 0x41, 0x30, 0x58, 0x40, 0x00, 0xF7},  // another maker
        {0xF0, 0x42, 0x30, 0x72, 0x40, 0x00, 0xF7},  // another model
        {0xF0, 0x42, 0x30, 0x58, 0x51, 0x00, 0xF7},  // global data dump
        {0x00, 0xF0, 0x42, 0x30, 0x58, 0x40},
    };
    for (const auto& bytes : bad) {
        EXPECT_FALSE(Read(bytes));
        EXPECT_EQ(error_, kErrorNotKorgSyx);
    }
    // Another message first, then a valid dump: still refused, only the start counts.
    auto prefixed = std::vector<std::uint8_t>{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    prefixed.insert(prefixed.end(), good.begin(), good.end());
    EXPECT_FALSE(Read(prefixed));
    EXPECT_EQ(error_, kErrorNotKorgSyx);
    EXPECT_EQ(library_.Count(), 0);
}

TEST_F(SyxReader, MisplacedMissingOrExtraBytesAreCorruption) {
    const auto good = MakeDump(kCurrent, {MakeImage("x")});
    const std::size_t last = good.size() - 1;
    auto extraByte = Edited(good, last, 0x00);
    extraByte.push_back(0xF7);
    const auto noF7 = Cut(good, last);
    const auto wrongEnd = Edited(good, last, 0x00);
    const auto earlyF7 = Edited(good, 100, 0xF7);
    const auto allData = MakeDump(kAll, Bank());
    auto shortTrailer = Cut(allData, allData.size() - 10);
    shortTrailer.push_back(0xF7);

    auto bank = MakeBankDump();
    // Cut after 40 complete programs: 40 * 254 bytes take 40 * 254 * 8 / 7 packed bytes.
    const auto cut = Cut(bank, 5 + 11612);

    for (const auto& bytes : {extraByte, noF7, wrongEnd, earlyF7, shortTrailer, cut}) {
        EXPECT_FALSE(Read(bytes));
        EXPECT_EQ(error_, kErrorCorrupted);
        EXPECT_EQ(library_.Count(), 0);
    }
}

TEST_F(SyxReader, BytesAfterTheClosingF7AreNeverRead) {
    auto dump = MakeDump(kCurrent, {MakeImage("first")});
    const auto second = MakeDump(kBank, Bank());
    dump.insert(dump.end(), second.begin(), second.end());
    dump.insert(dump.end(), {0xFF, 0xF7, 0x00});
    ASSERT_TRUE(Read(dump));
    ASSERT_EQ(library_.Count(), 1);
    EXPECT_EQ(library_[0].Name(), "first");
}

TEST_F(SyxReader, DataByteWithBitSevenIsTakenNotRefused) {
    auto dump = MakeDump(kCurrent, {MakeImage("AAAAAAAAAAAA")});
    dump[5] = 0x01;  // flag of the first group: bit 7 of the first byte
    dump[6] = 0xC1;  // 'A' with bit 7 set; the flag adds 0x80 again: 0x41
    ASSERT_TRUE(Read(dump)) << error_;
    EXPECT_EQ(library_[0].Image()[0], 0x41);
}

TEST_F(SyxReader, ProgramBoundariesFallInsidePackingGroups) {
    // Program 1 begins with the last five data bytes of group 36; the first two data bytes of
    // that group are the last two bytes of program 0.
    auto images = Bank();
    images[0][252] = 0x80;
    images[0][253] = 0x81;
    images[1][0] = 0x82;
    ASSERT_TRUE(Read(MakeDump(kBank, images)));
    EXPECT_EQ(library_[0].Image()[252], 0x80);
    EXPECT_EQ(library_[0].Image()[253], 0x81);
    EXPECT_EQ(library_[1].Image()[0], 0x82);
    EXPECT_EQ(library_[1].Image(), images[1]);
}

TEST_F(SyxReader, AFailingFileKeepsTheProgramsOfEarlierFiles) {
    ASSERT_TRUE(Read(MakeBankDump(), "first"));
    auto corrupted = MakeBankDump();
    corrupted.pop_back();
    EXPECT_FALSE(Read(corrupted, "second"));
    EXPECT_EQ(error_, kErrorCorrupted);
    ASSERT_EQ(library_.Count(), 128);
    EXPECT_EQ(library_[127].FileLabel(), "first");
    ASSERT_TRUE(Read(MakeDump(kCurrent, {MakeImage("third")}), "third"));
    EXPECT_EQ(library_.Count(), 129);
}

TEST(SyxReaderFiles, ReadsFromDiskWithAwkwardPaths) {
    TempDir dir;
    const auto deep =
        std::string(100, 'd') + "/" + std::string(100, 'e') + "/" + std::string(100, 'f');
    dir.MakeFolder("über folder/" + deep);
    const auto path = dir.Write("über folder/" + deep + "/Bank mit Ümlaut.syx", MakeBankDump());
    ASSERT_GT(path.size(), 260U);
    ProgramLibrary library;
    std::string error;
    ASSERT_TRUE(library.ReadSyxFile(path, error, "label")) << error;
    EXPECT_EQ(library.Count(), 128);
}

TEST(SyxReaderFiles, FilesThatCannotBeOpened) {
    TempDir dir;
    ProgramLibrary library;
    std::string error;
    const auto missing = (dir.Path() / "missing.syx").string();
    EXPECT_FALSE(library.ReadSyxFile(missing, error, "x"));
    EXPECT_EQ(error, kErrorCannotOpen);
    EXPECT_FALSE(std::filesystem::exists(missing)) << "reading must never create the file";

    error.clear();
    EXPECT_FALSE(library.ReadSyxFile(dir.Path().string(), error, "x"));
    EXPECT_EQ(error, kErrorCannotOpen);

    const auto empty = dir.Write("empty.syx", {});
    EXPECT_FALSE(library.ReadSyxFile(empty, error, "x"));
    EXPECT_EQ(error, kErrorNotKorgSyx);

    if (testing::PermissionsCanLockFiles()) {
        const auto locked = dir.Write("locked.syx", MakeBankDump());
        std::filesystem::permissions(locked, std::filesystem::perms::none);
        EXPECT_FALSE(library.ReadSyxFile(locked, error, "x"));
        EXPECT_EQ(error, kErrorCannotOpen);
    }
    EXPECT_EQ(library.Count(), 0);
}

TEST(SyxReaderFiles, AVeryLargeFileIsReadOnlyAsFarAsItsDump) {
    TempDir dir;
    auto bytes = MakeDump(kCurrent, {MakeImage("big")});
    bytes.resize(64U * 1024U * 1024U, 0xEE);
    const auto path = dir.Write("big.syx", bytes);
    ProgramLibrary library;
    std::string error;
    ASSERT_TRUE(library.ReadSyxFile(path, error, "big")) << error;
    EXPECT_EQ(library.Count(), 1);
}

}  // namespace
}  // namespace patchferry

// Reading programs from a Radias's memory: slots as the Radias names them, the one request at a
// time with each answer checked, and the backup file told apart from an MS2000 file.

#include <gtest/gtest.h>

#include "support/RadiasMemory.h"
#include "support/SyxBuilder.h"
#include "synth/RadiasBackup.h"
#include "synth/RadiasBackupFile.h"
#include "synth/RadiasSlots.h"

namespace patchferry::synth {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = RadiasBackup::Clock;

TEST(RadiasSlots, AreNamedAsTheRadiasShowsThemOrByNumber) {
    EXPECT_EQ(SlotName(0), "A01");
    EXPECT_EQ(SlotName(127), "H16");
    EXPECT_EQ(SlotName(128), "I01");
    EXPECT_EQ(SlotName(255), "P16");
    EXPECT_EQ(ParseSlot("a1"), 0);
    EXPECT_EQ(ParseSlot("I01"), 128);
    EXPECT_EQ(ParseSlot("129"), 128);
    EXPECT_EQ(ParseSlot("256"), 255);
    for (const char* bad : {"", "Q01", "A17", "A00", "0", "257", "A1x", "A001"}) {
        EXPECT_FALSE(ParseSlot(bad)) << bad;
    }
    EXPECT_EQ(ParseSlotRange("A01-P16"), std::pair(0, 255));
    EXPECT_EQ(ParseSlotRange("C05"), std::pair(36, 36));
    EXPECT_FALSE(ParseSlotRange("B01-A16"));
    // The address: number in the half, then the half.
    const auto request = ProgramDumpRequestFor(130, 2);
    EXPECT_EQ(Bytes(request.begin(), request.end()),
              (Bytes{0xF0, 0x42, 0x32, 0x72, 0x1C, 0x02, 0x01, 0xF7}));
}

class Backup : public ::testing::Test {
  protected:
    // Starts reading `slots` on channel 3 and returns the requests sent, answering each with
    // what `answer` gives for it.
    std::vector<Bytes> Run(std::vector<int> slots, const std::function<Bytes(int slot)>& answer) {
        std::vector<Bytes> sent;
        auto now = Clock::now();
        auto request = backup_.Start(std::move(slots), 2, now);
        while (true) {
            sent.emplace_back(request.begin(), request.end());
            const int slot = request[5] + 128 * request[6];
            backup_.Feed(Bytes{0xFE}, now);
            const Bytes reply = answer(slot);
            // In two pieces, as an input hands them over.
            backup_.Feed(std::span(reply).first(reply.size() / 2), now);
            backup_.Feed(std::span(reply).subspan(reply.size() / 2), now);
            now += 700ms;
            const auto next = backup_.Tick(now);
            if (!next) {
                if (!backup_.Finished()) {
                    now += 5s;
                    backup_.Tick(now);
                }
                return sent;
            }
            request = *next;
        }
    }
    RadiasBackup backup_;
};

TEST_F(Backup, AsksOneSlotAtATimeAndKeepsTheDumpsAsTheyCame) {
    const auto sent = Run({5, 128, 255}, [](int slot) { return testing::StoredDump(slot, 2); });
    ASSERT_EQ(backup_.State(), BackupState::Done) << backup_.FailureText();
    ASSERT_EQ(sent.size(), 3U);
    EXPECT_EQ(sent[1], (Bytes{0xF0, 0x42, 0x32, 0x72, 0x1C, 0x00, 0x01, 0xF7}));
    Bytes expected;
    for (const int slot : {5, 128, 255}) {
        const Bytes dump = testing::StoredDump(slot, 2);
        expected.insert(expected.end(), dump.begin(), dump.end());
    }
    EXPECT_EQ(backup_.Dumps(), expected);
    EXPECT_EQ(CountStoredProgramDumps(backup_.Dumps()), 3U);
}

TEST_F(Backup, StopsAtTheFirstAnswerThatIsNotTheProgramAskedFor) {
    struct Case {
        std::function<Bytes(int)> answer;
        const char* says;
    };
    const Case cases[] = {
        {[](int slot) { return testing::StoredDump(slot == 3 ? 4 : slot, 2); },
         "the Radias answered the request for A04 with the program of A05"},
        {[](int slot) {
             return slot == 3 ? Bytes{0xF0, 0x42, 0x32, 0x72, 0x24, 0xF7}
                              : testing::StoredDump(slot, 2);
         },
         "the Radias answered the request for A04 with something other than its program: F0 42 "
         "32 72 24 F7"},
        {[](int slot) {
             Bytes dump = testing::StoredDump(slot, 2);
             if (slot == 3) {
                 dump.resize(1000);
                 dump.push_back(0xF0);  // broken into by another message
             }
             return dump;
         },
         "the Radias's answer for A04 broke off after 1000 bytes"},
        {[](int slot) { return slot == 3 ? Bytes{} : testing::StoredDump(slot, 2); },
         "no answer from the Radias to the request for A04"},
    };
    for (const Case& c : cases) {
        const auto sent = Run({0, 1, 2, 3, 4, 5}, c.answer);
        EXPECT_EQ(backup_.State(), BackupState::Failed);
        EXPECT_EQ(backup_.FailureText().rfind(c.says, 0), 0U) << backup_.FailureText();
        EXPECT_EQ(sent.size(), 4U);  // nothing asked after it
        EXPECT_EQ(backup_.Received(), 3U);
    }
}

TEST_F(Backup, AnswersOnAnotherChannelOrFromAnotherModelAreNotTheRadias) {
    Run({0}, [](int slot) {
        Bytes other = testing::StoredDump(slot, 5);
        Bytes ms2k = testing::StoredDump(slot, 2);
        ms2k[3] = 0x58;
        other.insert(other.end(), ms2k.begin(), ms2k.end());
        return other;
    });
    EXPECT_EQ(backup_.State(), BackupState::Failed);
    EXPECT_TRUE(backup_.Unanswered());
}

TEST(BackupFile, IsToldApartFromAnMs2000File) {
    testing::TempDir dir;
    Bytes two = testing::StoredDump(0, 0);
    const Bytes second = testing::StoredDump(200, 0);
    two.insert(two.end(), second.begin(), second.end());
    const auto path = dir.Write("Radias backup.syx", two);
    EXPECT_EQ(BackupProgramCount(path), 2U);
    EXPECT_EQ(OpenFailureText({path, "Radias backup", std::string(kErrorNotKorgSyx)}),
              "Failed to parse Syx file Radias backup. It is a backup of 2 Radias programs, not an "
              "MS2000 file: put it back into the Radias with Program > Restore Radias Backup... "
              "(or patchferry-cli restore).");
    two.pop_back();
    const auto cut = dir.Write("cut.syx", two);
    EXPECT_FALSE(BackupProgramCount(cut));
    EXPECT_EQ(OpenFailureText({cut, "cut", std::string(kErrorNotKorgSyx)}),
              "Failed to parse Syx file cut. File is not a valid Korg Syx File");
}

}  // namespace
}  // namespace patchferry::synth

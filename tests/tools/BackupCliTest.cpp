// patchferry-cli backup against a Radias's memory behind the fake's interface: the file is the
// dumps exactly as they came, a silence writes nothing, and a file that cannot be written is
// known before anything is asked.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "midi/fake/FakeMidiService.h"
#include "support/RadiasMemory.h"
#include "support/SyxBuilder.h"
#include "tools/Cli.h"

namespace patchferry::cli {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BackupCli : public ::testing::Test {
  protected:
    BackupCli() {
        midi_.SetDevices({{"Soft Synth", false, "128:0"}, {"UM-ONE", true, "24:0"}});
        midi_.SetResponder(
            [this](std::span<const std::uint8_t> sent) { return radias_.Answer(sent); });
    }
    int Run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        midi_.ClearRecord();
        CliEnvironment env{out_, err_, [this]() -> midi::MidiOutputService& { return midi_; }};
        env.midiInput = [this]() -> midi::MidiInputService& { return midi_; };
        env.errIsTerminal = terminal_;
        return RunCli(args, env);
    }
    std::string Target(const std::string& name = "backup.syx") const {
        return (dir_.Path() / name).string();
    }

    bool terminal_ = false;  // standard error is a terminal: progress is drawn there
    testing::TempDir dir_;
    testing::RadiasMemory radias_{2};
    midi::FakeMidiService midi_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(BackupCli, TheFileIsEveryProgramAsItCameAndListSaysWhatItIs) {
    ASSERT_EQ(Run({"backup", "--port", "UM-ONE", "--channel", "3", "-o", Target()}), kExitOk)
        << err_.str();
    EXPECT_EQ(ReadFile(Target()), radias_.Backup(0, 255));
    EXPECT_EQ(midi_.SentMessages().size(), 256U);
    EXPECT_NE(out_.str().find("Backed up 256 programs (A01..P16)"), std::string::npos);

    EXPECT_EQ(Run({"list", Target()}), kExitFailure);
    EXPECT_NE(err_.str().find("It is a backup of 256 Radias programs"), std::string::npos)
        << err_.str();

    // Some slots, the port named by its input, never over the file that is there.
    ASSERT_EQ(Run({"backup", "--port", "um-one", "--channel", "3", "--slots", "130-I04", "-o",
                   Target("some.syx")}),
              kExitOk)
        << err_.str();
    EXPECT_EQ(ReadFile(Target("some.syx")), radias_.Backup(129, 131));
    EXPECT_EQ(Run({"backup", "--port", "UM-ONE", "--channel", "3", "-o", Target()}), kExitFailure);
    EXPECT_TRUE(midi_.SentMessages().empty());
}

TEST_F(BackupCli, ASilenceOrAWrongChannelWritesNothing) {
    radias_.FallSilentAfter(2);
    EXPECT_EQ(
        Run({"backup", "--port", "UM-ONE", "--channel", "3", "--slots", "A01-A04", "-o", Target()}),
        kExitFailure);
    EXPECT_NE(err_.str().find("no answer from the Radias to the request for A03"),
              std::string::npos)
        << err_.str();
    EXPECT_NE(err_.str().find("Nothing was written (2 of 4 programs had come)"), std::string::npos);
    EXPECT_EQ(midi_.SentMessages().size(), 3U);
    EXPECT_FALSE(std::filesystem::exists(Target()));

    EXPECT_EQ(Run({"backup", "--port", "UM-ONE", "-o", Target("missing/b.syx")}), kExitFailure);
    EXPECT_TRUE(midi_.SentMessages().empty());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"backup", "--port", "UM-ONE", "--slots", "B01-A01", "-o",
                                   Target()},
          {"backup", "--port", "UM-ONE", "--slots", "Q01", "-o", Target()},
          {"backup", "-o", Target()}}) {
        EXPECT_EQ(Run(args), kExitUsage) << args[3];
    }
}

// The Radias's memory after a write of `programs` of the bank from `first`: each slot holds the
// converted program with its address, as convert makes it.
class WriteCli : public BackupCli {
  protected:
    WriteCli() { bank_ = dir_.Write("bank.syx", testing::MakeBankDump(0)); }
    std::vector<Bytes> Slots(int first, int last) const {
        std::vector<Bytes> slots;
        for (int slot = first; slot <= last; ++slot) {
            slots.push_back(radias_.Program(slot));
        }
        return slots;
    }
    std::string bank_;
};

TEST_F(WriteCli, ProgramsGoIntoTheirSlotsAfterABackupAndRestoreBringsTheSlotsBack) {
    const auto before = Slots(0, 255);
    terminal_ = true;
    ASSERT_EQ(Run({"write", bank_, "--program", "A1-A3", "--to", "H15", "--port", "UM-ONE",
                   "--channel", "3", "--backup", Target()}),
              kExitOk)
        << err_.str();
    // The three slots read first, then each program with its answer, the first read back.
    const auto sent = midi_.SentMessages();
    ASSERT_EQ(sent.size(), 3U + 3U + 1U);
    EXPECT_EQ(sent[0], (Bytes{0xF0, 0x42, 0x32, 0x72, 0x1C, 126, 0, 0xF7}));
    EXPECT_EQ(sent[2], (Bytes{0xF0, 0x42, 0x32, 0x72, 0x1C, 0, 1, 0xF7}));  // I01
    EXPECT_EQ(sent[4], (Bytes{0xF0, 0x42, 0x32, 0x72, 0x1C, 126, 0, 0xF7}));
    Bytes replaced;
    for (std::size_t slot = 126; slot <= 128; ++slot) {
        replaced.insert(replaced.end(), before[slot].begin(), before[slot].end());
    }
    EXPECT_EQ(ReadFile(Target()), replaced);
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(sent[n == 0 ? 3 : 4 + static_cast<std::size_t>(n)], radias_.Program(126 + n));
        EXPECT_EQ(radias_.Program(126 + n)[4], 0x4C);
    }
    EXPECT_NE(out_.str().find("A001 \"Prog 0\" -> H15: the Radias took it"), std::string::npos)
        << out_.str();
    EXPECT_NE(err_.str().find("\rBacking up: H15 (0 of 3)"), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("\rWriting: A001 \"Prog 0\" -> H15 (0 of 3 confirmed)"),
              std::string::npos)
        << err_.str();
    EXPECT_EQ(Slots(0, 125), std::vector(before.begin(), before.begin() + 126));

    ASSERT_EQ(Run({"restore", Target(), "--port", "UM-ONE", "--channel", "3", "--backup",
                   Target("before-restore.syx")}),
              kExitOk)
        << err_.str();
    EXPECT_EQ(Slots(0, 255), before);
    EXPECT_EQ(ReadFile(Target("before-restore.syx")).size(), 3U * 2054U);
}

TEST_F(WriteCli, ARefusalASilenceOrADifferentReadBackStopsWithWhatIsKnown) {
    const auto before = Slots(0, 255);
    radias_.Protect(true);
    EXPECT_EQ(Run({"write", bank_, "--program", "A1-A3", "--to", "A01", "--port", "UM-ONE",
                   "--channel", "3", "--backup", Target("1.syx")}),
              kExitFailure);
    EXPECT_NE(err_.str().find("with DATA LOAD ERROR"), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("memory protect"), std::string::npos);
    EXPECT_NE(err_.str().find("Confirmed: 0 of 3 (none)"), std::string::npos);
    EXPECT_EQ(midi_.SentMessages().size(), 4U);
    radias_.Protect(false);

    radias_.FallSilentAfter(3 + 1 + 1 + 1);  // the backup, A1 and its read-back, A2
    EXPECT_EQ(Run({"write", bank_, "--program", "A1-A3", "--to", "A01", "--port", "UM-ONE",
                   "--channel", "3", "--backup", Target("2.syx")}),
              kExitFailure);
    EXPECT_NE(err_.str().find("no answer from the Radias to A003"), std::string::npos)
        << err_.str() << out_.str();
    EXPECT_NE(err_.str().find("may or may not have stored it"), std::string::npos);
    EXPECT_NE(err_.str().find("Confirmed: 2 of 3 (A01..A02); nothing after it was sent"),
              std::string::npos);
    EXPECT_NE(err_.str().find("2.syx"), std::string::npos);
    radias_.FallSilentAfter(-1);

    radias_.StoreInOtherHalf(true);
    EXPECT_EQ(Run({"write", bank_, "--program", "A1-A3", "--to", "B01", "--port", "UM-ONE",
                   "--channel", "3", "--backup", Target("3.syx")}),
              kExitFailure);
    EXPECT_NE(err_.str().find("the program read back from B01 differs"), std::string::npos)
        << err_.str();
    EXPECT_EQ(midi_.SentMessages().size(), 3U + 1U + 1U);  // nothing written after the first
}

TEST_F(WriteCli, NothingIsSentWithoutABackupOrForAForeignFile) {
    EXPECT_EQ(Run({"write", bank_, "--all", "--to", "A01", "--port", "UM-ONE", "--backup",
                   Target("missing/b.syx")}),
              kExitFailure);
    EXPECT_EQ(Run({"write", bank_, "--all", "--to", "I02", "--port", "UM-ONE"}), kExitFailure);
    EXPECT_NE(err_.str().find("would run past P16"), std::string::npos) << err_.str();
    EXPECT_EQ(Run({"restore", bank_, "--port", "UM-ONE"}), kExitFailure);
    EXPECT_NE(err_.str().find("is not a Radias backup"), std::string::npos) << err_.str();
    Bytes cut = radias_.Backup(0, 1);
    cut.pop_back();
    EXPECT_EQ(Run({"restore", dir_.Write("cut.syx", cut), "--port", "UM-ONE"}), kExitFailure);
    EXPECT_TRUE(midi_.SentMessages().empty());
}

}  // namespace
}  // namespace patchferry::cli

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
        return RunCli(args, env);
    }
    std::string Target(const std::string& name = "backup.syx") const {
        return (dir_.Path() / name).string();
    }

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

}  // namespace
}  // namespace patchferry::cli

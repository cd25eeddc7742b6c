// ports --input, identify and receive as conversations with a scripted synth behind the fake's
// one port list: the request goes out on the output, the answer comes in on the input.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "library/ProgramLibrary.h"
#include "midi/fake/FakeMidiService.h"
#include "support/SyxBuilder.h"
#include "support/TestPlatform.h"
#include "tools/Cli.h"

namespace patchferry::cli {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Pieces = std::vector<Bytes>;

const Bytes kInquiryToAll{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
const Bytes kBankRequestOn3{0xF0, 0x42, 0x32, 0x58, 0x1C, 0xF7};

using testing::InPieces;
using testing::Ms2kIdentityReply;

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ReceiveCli : public ::testing::Test {
  protected:
    ReceiveCli() {
        midi_.SetDevices({{"Soft Synth", false, "128:0"}, {"UM-ONE", true, "24:0"}});
        bank_ = testing::MakeBankDump(2);  // answers on channel 3
    }
    int Run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        CliEnvironment env{out_, err_, [this]() -> midi::MidiOutputService& { return midi_; }};
        env.midiInput = [this]() -> midi::MidiInputService& { return midi_; };
        env.sendTimeout = 1s;
        env.receiveTimeouts = {300ms, 200ms};
        env.errIsTerminal = terminal_;
        env.outIsTerminal = outTerminal_;
        return RunCli(args, env);
    }
    // An MS2000 on channel 3 that answers the inquiry and sends `answer` for the bank request.
    void Ms2000(Pieces answer) {
        midi_.SetResponder([this, answer](std::span<const std::uint8_t> sent) {
            const Bytes request(sent.begin(), sent.end());
            if (request == kInquiryToAll) {
                return Pieces{{0xF8}, Ms2kIdentityReply(3)};
            }
            return request == kBankRequestOn3 ? answer : Pieces{};
        });
    }
    std::string Target() const { return (dir_.Path() / "received.syx").string(); }

    testing::TempDir dir_;
    midi::FakeMidiService midi_;
    std::ostringstream out_;
    std::ostringstream err_;
    Bytes bank_;
    bool terminal_ = false;
    bool outTerminal_ = false;
};

TEST_F(ReceiveCli, PortsListsTheInputsAndIdentifyAsksOnThePairedOutput) {
    ASSERT_EQ(Run({"ports", "--input"}), kExitOk);
    EXPECT_EQ(out_.str(), "0\tSoft Synth\tsoftware\t128:0\n1\tUM-ONE\thardware\t24:0\n");

    Ms2000({});
    ASSERT_EQ(Run({"identify", "--port", "um-one"}), kExitOk) << err_.str();
    EXPECT_EQ(out_.str(),
              "Korg (42h), family 0058h (MS2000 or microKORG), member 0001h (MS2000), global channel 3, "
              "version 01.00.05.00\n");
    EXPECT_EQ(midi_.SentMessages(), std::vector<Bytes>{kInquiryToAll});
    const auto calls = midi_.Calls();
    const auto openedInput = std::find(calls.begin(), calls.end(), "OpenInput 24:0");
    ASSERT_NE(openedInput, calls.end());
    EXPECT_NE(std::find(openedInput, calls.end(), "Open 24:0"), calls.end());
    EXPECT_EQ(midi_.OpenInputCount(), 0U);  // closed again
}

TEST_F(ReceiveCli, ReceivesTheWholeBankIntoANewFileThatListOpens) {
    Ms2000(InPieces(bank_, 500));
    ASSERT_EQ(Run({"receive", "--port", "UM-ONE", "--all", "--channel", "3", "-o", Target()}),
              kExitOk)
        << err_.str();
    EXPECT_EQ(midi_.SentMessages(), std::vector<Bytes>{kBankRequestOn3});
    EXPECT_EQ(ReadFile(Target()), bank_);
    EXPECT_EQ(err_.str(), "");  // no progress off a terminal
    ASSERT_EQ(Run({"list", Target()}), kExitOk);
    const std::string listed = out_.str();
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 128);

    // Never over a file that is there: nothing is even asked.
    midi_.ClearRecord();
    EXPECT_EQ(Run({"receive", "--port", "UM-ONE", "--all", "--channel", "3", "-o", Target()}),
              kExitFailure);
    EXPECT_TRUE(midi_.SentMessages().empty());
    EXPECT_EQ(ReadFile(Target()), bank_);
}

TEST_F(ReceiveCli, OnATerminalTheProgressMovesAsTheAnswerComes) {
    // Once asked, the answer comes in ten pieces a tenth of a second apart, as a slow cable
    // brings it.
    std::promise<void> asked;
    midi_.SetResponder([&asked](std::span<const std::uint8_t> /*sent*/) {
        asked.set_value();
        return Pieces{};
    });
    std::thread synth([this, request = asked.get_future()] {
        if (request.wait_for(10s) != std::future_status::ready) {
            return;  // never asked: the failure shows below
        }
        for (const Bytes& piece : InPieces(bank_, 3717)) {
            midi_.Arrive({piece});
            std::this_thread::sleep_for(piece.size() > 1 ? 100ms : 0ms);
        }
    });
    terminal_ = true;
    const int status =
        Run({"receive", "--port", "UM-ONE", "--all", "--channel", "3", "-o", Target()});
    synth.join();
    ASSERT_EQ(status, kExitOk) << err_.str();
    const std::string progress = err_.str();
    // Redrawn in place at least four times a second, ending on the whole answer.
    EXPECT_GE(std::count(progress.begin(), progress.end(), '\r'), 4);
    EXPECT_NE(progress.find("\rReceiving: 37163 of 37163 bytes\n"), std::string::npos) << progress;
}

TEST_F(ReceiveCli, ACutOrMissingAnswerSaysWhatToCheckAndWritesNothing) {
    Pieces cut = InPieces(Bytes(bank_.begin(), bank_.begin() + 20000), 1000);
    cut.push_back({0xF7});  // ended early
    Ms2000(cut);
    EXPECT_EQ(Run({"receive", "--port", "UM-ONE", "--all", "--channel", "3", "-o", Target()}),
              kExitFailure);
    EXPECT_NE(err_.str().find("answer was broken after 20001 of 37163 bytes; nothing of it was "
                              "kept"),
              std::string::npos)
        << err_.str();
    EXPECT_FALSE(std::filesystem::exists(Target()));

    Ms2000(InPieces(Bytes(bank_.begin(), bank_.begin() + 5000), 1000));  // then silence
    EXPECT_EQ(Run({"receive", "--port", "UM-ONE", "--all", "--channel", "3", "-o", Target()}),
              kExitFailure);
    EXPECT_NE(err_.str().find("answer stopped after 5000 of 37163 bytes"), std::string::npos);

    // Asked on the wrong channel, the MS2000 says nothing.
    EXPECT_EQ(Run({"receive", "--port", "UM-ONE", "--all", "--channel", "4", "-o", Target()}),
              kExitFailure);
    EXPECT_NE(err_.str().find("No answer came from the MS2000 on MIDI channel 4"),
              std::string::npos);
    EXPECT_NE(err_.str().find("\"SystemEx\" is ENA"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Target()));
    EXPECT_FALSE(std::filesystem::exists(Target() + ".part"));
}

// A bank takes seconds to come: where it cannot be written is found before the MS2000 is asked,
// with the system's reason.
TEST_F(ReceiveCli, AFolderThatCannotTakeTheFileIsRefusedBeforeAsking) {
    Ms2000(InPieces(bank_, 4096));
    const auto plain = dir_.Write("plain.syx", {1, 2, 3});
    const std::string folder = dir_.Path().string();
    std::vector<std::pair<std::string, std::string>> cases = {
        {folder + "/missing/x.syx",
         "cannot write into the folder " + folder + "/missing: No such file or directory"},
        {plain + "/x.syx", "cannot write into the folder " + plain + ": Not a directory"},
        {folder, folder + " is a folder; it was left as it is"},
        {plain, plain + " is already there; give a name that is not taken"},
    };
    if (testing::MakeSymlink(dir_.Path() / "nowhere", dir_.Path() / "dangling.syx")) {
        cases.push_back({folder + "/dangling.syx", "is a symbolic link"});
    }
    if (testing::PermissionsCanLockFiles()) {  // root writes into any folder
        const auto locked = dir_.MakeFolder("locked");
        std::filesystem::permissions(
            locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        cases.push_back({locked + "/x.syx", "locked: Permission denied"});
    }
    for (const auto& [target, text] : cases) {
        EXPECT_EQ(Run({"receive", "--port", "UM-ONE", "--all", "--channel", "3", "-o", target}),
                  kExitFailure);
        EXPECT_NE(err_.str().find(text), std::string::npos) << err_.str();
        EXPECT_TRUE(midi_.SentMessages().empty()) << target;
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.Path() / "nowhere"));
}

TEST_F(ReceiveCli, DashWritesTheAnswerToStandardOutputButNeverATerminal) {
    Ms2000(InPieces(bank_, 4096));
    ASSERT_EQ(Run({"receive", "--port", "UM-ONE", "--all", "--channel", "3", "-o", "-"}), kExitOk)
        << err_.str();
    const std::string written = out_.str();
    EXPECT_EQ(Bytes(written.begin(), written.end()), bank_);
    EXPECT_NE(err_.str().find("Received 37163 bytes from UM-ONE on channel 3 into standard output"),
              std::string::npos)
        << err_.str();

    midi_.ClearRecord();
    outTerminal_ = true;
    EXPECT_EQ(Run({"receive", "--port", "UM-ONE", "--all", "--channel", "3", "-o", "-"}),
              kExitFailure);
    EXPECT_NE(err_.str().find("not writing it to a terminal"), std::string::npos);
    EXPECT_TRUE(midi_.SentMessages().empty());
    EXPECT_TRUE(out_.str().empty());
}

TEST_F(ReceiveCli, AutoFindsTheChannelWithTheDeviceInquiryFirst) {
    Ms2000(InPieces(bank_, 4096));
    ASSERT_EQ(Run({"receive", "--port", "1", "--all", "--channel", "auto", "-o", Target()}),
              kExitOk)
        << err_.str();
    EXPECT_EQ(midi_.SentMessages(), (std::vector<Bytes>{kInquiryToAll, kBankRequestOn3}));
    EXPECT_EQ(ReadFile(Target()), bank_);
}

TEST_F(ReceiveCli, RefusesAWrongCommandLineBeforeAskingAnything) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"receive", "--port", "1", "-o", "x.syx"},
          {"receive", "--port", "1", "--all", "--current", "-o", "x.syx"},
          {"receive", "--port", "1", "--all", "--channel", "17", "-o", "x.syx"},
          {"receive", "--port", "1", "--all"},
          {"identify"}}) {
        EXPECT_EQ(Run(args), kExitUsage) << args.size();
    }
    EXPECT_EQ(Run({"identify", "--port", "Nothing"}), kExitFailure);
    EXPECT_NE(err_.str().find("no MIDI input port 'Nothing'; the ports are:"), std::string::npos);
    EXPECT_TRUE(midi_.SentMessages().empty());
}

}  // namespace
}  // namespace patchferry::cli

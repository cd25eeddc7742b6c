#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "convert/ProgramConverter.h"
#include "library/ProgramLibrary.h"
#include "library/Utf8Path.h"
#include "midi/fake/FakeMidiService.h"
#include "support/SyxBuilder.h"
#include "support/TestPlatform.h"
#include "synth/ProgramDump.h"
#include "tools/Cli.h"

namespace patchferry::cli {
namespace {

using midi::FakeCompletion;
using midi::FakeDevice;
using midi::FakeMidiService;
using midi::MidiErrorCause;
using testing::MakeDump;
using testing::MakeImage;
using testing::TempDir;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class Cli : public ::testing::Test {
  protected:
    int Run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        CliEnvironment env{out_, err_, [this]() -> midi::MidiOutputService& { return midi_; }};
        env.outIsTerminal = terminal_;
        env.sendTimeout = std::chrono::milliseconds(50);
        return RunCli(args, env);
    }

    // Five programs named as in a find, a Vocoder among them.
    std::string Bank() {
        std::vector<Ms2kProgramImage> images = {
            MakeImage("Lead 1"), MakeImage("BIG LEAD"), MakeImage("Mislead", VoiceMode::Dual),
            MakeImage("Bass"), MakeImage("Pad/Voc?", VoiceMode::Vocoder)};
        images[0][38 + 14] = 64;  // OSC2 tune centred on the programs meant to be "Good"
        images[1][38 + 14] = 64;
        images[3][38 + 14] = 64;
        while (images.size() < 128) {
            auto image = MakeImage("Init " + std::to_string(images.size()));
            image[38 + 14] = 64;
            images.push_back(image);
        }
        return dir_.Write("Factory.Bank.syx", MakeDump(0x4C, images));
    }

    TempDir dir_;
    FakeMidiService midi_;
    std::ostringstream out_;
    std::ostringstream err_;
    bool terminal_ = false;
};

TEST_F(Cli, ListPrintsEveryProgramAndReportsEachBadFileOnStderr) {
    const auto bank = Bank();
    const auto bad = dir_.Write("broken.syx", Bytes("not sysex"));
    const auto single = dir_.Write("solo.syx", MakeDump(0x40, {MakeImage("Solo")}));
    EXPECT_EQ(Run({"list", bank, bad, single}), kExitFailure);
    EXPECT_EQ(err_.str(), "Failed to parse Syx file broken. File is not a valid Korg Syx File\n");
    const auto lines = Lines(out_.str());
    ASSERT_EQ(lines.size(), 129U);
    EXPECT_EQ(lines[0], "Factory\tA\t001\tLead 1\tSingle\tGood");
    EXPECT_EQ(
        lines[4],
        "Factory\tA\t005\tPad/Voc?\tVocoder\tApproximate [Vocoder switch|Vocoder inputs|Fc mod "
        "source]");
    EXPECT_EQ(lines[128].substr(0, 10), "solo\tA\t001");
}

TEST_F(Cli, ListSortsAndFindsAsTheWindowDoes) {
    const auto bank = Bank();
    ASSERT_EQ(Run({"list", "--find", "LEAD", bank}), kExitOk);
    const auto found = Lines(out_.str());
    ASSERT_EQ(found.size(), 3U);
    EXPECT_NE(found[2].find("Mislead"), std::string::npos);

    ASSERT_EQ(Run({"list", "--sort", "3", bank}), kExitOk);
    const auto sorted = Lines(out_.str());
    EXPECT_NE(sorted[0].find("\tBass\t"), std::string::npos);
    EXPECT_NE(sorted[1].find("\tBIG LEAD\t"), std::string::npos);

    EXPECT_EQ(Run({"list", "--sort", "6", bank}), kExitUsage);
    EXPECT_EQ(Run({"list", "--sort"}), kExitUsage);
    EXPECT_EQ(Run({"list"}), kExitUsage);
    EXPECT_EQ(Run({"list", "--bogus", bank}), kExitUsage);
    EXPECT_TRUE(out_.str().empty());
}

TEST_F(Cli, ConvertWritesTheExactDumpOnTheChosenChannel) {
    const auto bank = Bank();
    ASSERT_EQ(Run({"convert", bank, "--program", "a3", "--channel", "16"}), kExitOk) << err_.str();
    const std::string written = out_.str();
    ProgramLibrary library;
    std::string error;
    ASSERT_TRUE(library.ReadSyxFile(bank, error, "x"));
    ProgramConverter converter(library[2].Image());
    converter.Convert();
    const auto expected = BuildProgramDump(converter.Image(), 15);
    ASSERT_EQ(written.size(), 2052U);
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()),
              std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(static_cast<std::uint8_t>(written[2]), 0x3F);

    const auto file = dir_.Path() / "one.syx";
    ASSERT_EQ(Run({"convert", bank, "--program", "A003", "-o", file.string()}), kExitOk);
    EXPECT_EQ(ReadFile(file)[2], 0x30);
    EXPECT_EQ(ReadFile(file).size(), 2052U);
}

TEST_F(Cli, ConvertRefusesWhatItCannotDoWithOneLineAndNoOutput) {
    const auto bank = Bank();
    const auto file = dir_.Path() / "kept.syx";
    std::ofstream(file) << "mine";
    const std::vector<std::pair<std::vector<std::string>, int>> cases = {
        {{"convert", bank, "--program", "I1"}, kExitFailure},                  // no such bank
        {{"convert", bank, "--program", "A17"}, kExitFailure},                 // no such number
        {{"convert", bank, "--program", "A1", "--channel", "0"}, kExitUsage},  // channels 1..16
        {{"convert", bank, "--program", "A1", "--channel", "17"}, kExitUsage},
        {{"convert", bank, "--program", "A1", "-o", file.string()}, kExitFailure},  // no overwrite
        {{"convert", dir_.Path().string() + "/missing.syx", "--program", "A1"}, kExitFailure},
        {{"convert", bank}, kExitUsage},  // nothing to do
        {{"convert", bank, "--all"}, kExitUsage},
    };
    for (const auto& [args, status] : cases) {
        EXPECT_EQ(Run(args), status) << args.back();
        EXPECT_TRUE(out_.str().empty()) << args.back();
        const auto lines = Lines(err_.str());
        EXPECT_EQ(lines.size(), 1U) << args.back() << ": " << err_.str();
    }
    EXPECT_EQ(ReadFile(file), Bytes("mine"));

    terminal_ = true;
    EXPECT_EQ(Run({"convert", bank, "--program", "A1"}), kExitFailure);
    EXPECT_TRUE(out_.str().empty());
    EXPECT_EQ(Run({"convert", bank, "--program", "A1", "-o", file.string(), "--force"}), kExitOk);
    EXPECT_EQ(ReadFile(file).size(), 2052U);
}

TEST_F(Cli, ConvertAllWritesEachProgramUnderASafeNameOnce) {
    const auto bank = Bank();
    const auto folder = dir_.Path() / "out";
    ASSERT_EQ(Run({"convert", bank, "--all", "-o", folder.string()}), kExitOk) << err_.str();
    std::size_t files = 0;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        ++files;
        EXPECT_EQ(std::filesystem::file_size(item.path()), 2052U);
    }
    EXPECT_EQ(files, 128U);  // the Vocoder program too
    EXPECT_TRUE(err_.str().empty());
    EXPECT_TRUE(std::filesystem::exists(folder / "A001 Lead 1.syx"));
    EXPECT_TRUE(std::filesystem::exists(folder / "H016 Init 127.syx"));

    EXPECT_EQ(Run({"convert", bank, "--all", "-o", folder.string()}), kExitFailure);
    EXPECT_EQ(Lines(err_.str()).size(), 128U);  // a refusal to overwrite each
    EXPECT_EQ(Run({"convert", bank, "--all", "-o", folder.string(), "--force"}), kExitOk);
}

// A file of the user's is never written through or over: not a ".part" beside the target, not
// what a link points to, and --force replaces a plain file only.
TEST_F(Cli, ConvertNeverWritesThroughALinkOrOverWhatIsThere) {
    const auto bank = Bank();
    const auto at = [this](const std::string& name) { return dir_.Path() / name; };
    const auto convert = [&](const std::string& name, bool force = false) {
        std::vector<std::string> args{"convert", bank, "--program", "A1", "-o", at(name).string()};
        if (force) {
            args.push_back("--force");
        }
        return Run(args);
    };
    const auto mine = dir_.Write("out.syx.part", Bytes("mine"));
    ASSERT_EQ(convert("out.syx"), kExitOk) << err_.str();
    EXPECT_EQ(ReadFile(mine), Bytes("mine"));
    EXPECT_EQ(ReadFile(at("out.syx")).size(), 2052U);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 3);

    dir_.MakeFolder("folder");
    EXPECT_EQ(convert("folder", true), kExitFailure);
    EXPECT_EQ(err_.str(), "patchferry-cli convert: " + at("folder").string() +
                              " is a folder; it was left as it is\n");
    // The system's reason for a folder that cannot take the file ("No such file or directory",
    // "Not a directory"; Windows has words of its own).
    for (const std::string name : {"missing/x.syx", "out.syx/x.syx"}) {
        EXPECT_EQ(convert(name), kExitFailure);
        const std::string said = "patchferry-cli convert: cannot write " + at(name).string() + ": ";
        EXPECT_EQ(err_.str().rfind(said, 0), 0U) << err_.str();
        EXPECT_GT(err_.str().size(), said.size() + 4) << err_.str();
    }

    const auto precious = dir_.Write("precious.txt", Bytes("precious"));
    if (!testing::MakeSymlink(precious, at("o2.syx.part"))) {
        GTEST_SKIP() << "this process may not make symbolic links";
    }
    ASSERT_EQ(convert("o2.syx"), kExitOk) << err_.str();
    EXPECT_EQ(ReadFile(precious), Bytes("precious"));
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(at("o2.syx"))));

    // A link at the target, leading nowhere or to a file, stays as it is, --force or not.
    ASSERT_TRUE(testing::MakeSymlink(at("nowhere"), at("dangling.syx")));
    ASSERT_TRUE(testing::MakeSymlink(precious, at("linked.syx")));
    for (const auto& [name, force] : {std::pair{"dangling.syx", false},
                                      {"dangling.syx", true},
                                      {"linked.syx", false},
                                      {"linked.syx", true}}) {
        EXPECT_EQ(convert(name, force), kExitFailure) << name;
        EXPECT_NE(err_.str().find("is a symbolic link; it was left as it is"), std::string::npos)
            << err_.str();
        EXPECT_TRUE(std::filesystem::is_symlink(at(name)));
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(at("nowhere"))));
    EXPECT_EQ(ReadFile(precious), Bytes("precious"));
}

TEST_F(Cli, ConvertToDashWritesStandardOutputButNeverATerminal) {
    const auto bank = Bank();
    ASSERT_EQ(Run({"convert", bank, "--program", "A1", "-o", "-"}), kExitOk) << err_.str();
    EXPECT_EQ(out_.str().size(), 2052U);
    EXPECT_EQ(Run({"convert", bank, "--all", "-o", "-"}), kExitUsage);
    terminal_ = true;
    EXPECT_EQ(Run({"convert", bank, "--program", "A1", "-o", "-"}), kExitFailure);
    EXPECT_TRUE(out_.str().empty());
    EXPECT_NE(err_.str().find("not writing it to a terminal"), std::string::npos);
}

// Folders and files as musicians name them, in German, Greek and Japanese.
TEST_F(Cli, PathsInAnyScriptAreListedAndWrittenAsGiven) {
    const auto bank = Bank();
    const auto copy = [this](const std::string& name) {
        return dir_.Write(name, ReadFile(PathFromUtf8(dir_.Utf8() + "/Factory.Bank.syx").value()));
    };
    dir_.MakeFolder("Bänke – Sommer");
    dir_.MakeFolder("Ήχοι");
    dir_.MakeFolder("音色");
    const auto german = copy("Bänke – Sommer/Flächen & Bässe.syx");
    const auto greek = copy("Ήχοι/Πλήκτρα.syx");
    const auto japanese = copy("音色/シンセ.syx");

    ASSERT_EQ(Run({"list", "--find", "lead 1", german, greek, japanese}), kExitOk) << err_.str();
    EXPECT_EQ(Lines(out_.str()),
              (std::vector<std::string>{"Flächen & Bässe\tA\t001\tLead 1\tSingle\tGood",
                                        "Πλήκτρα\tA\t001\tLead 1\tSingle\tGood",
                                        "シンセ\tA\t001\tLead 1\tSingle\tGood"}));

    const auto one = dir_.Utf8() + "/音色/リード.syx";
    ASSERT_EQ(Run({"convert", greek, "--program", "A1", "-o", one}), kExitOk) << err_.str();
    EXPECT_EQ(ReadFile(PathFromUtf8(one).value()).size(), 2052U);
    EXPECT_EQ(Run({"convert", greek, "--program", "A1", "-o", one}), kExitFailure);
    EXPECT_EQ(err_.str(),
              "patchferry-cli convert: " + one + " is already there (--force replaces it)\n");

    const auto folder = dir_.Utf8() + "/Ήχοι/Radias ü";
    ASSERT_EQ(Run({"convert", japanese, "--all", "-o", folder}), kExitOk);
    EXPECT_EQ(ReadFile(PathFromUtf8(folder + "/A001 Lead 1.syx").value()),
              ReadFile(PathFromUtf8(one).value()));

    EXPECT_EQ(Run({"list", dir_.Utf8() + "/音色/無い.syx"}), kExitFailure);
    EXPECT_EQ(err_.str(), "Failed to parse Syx file 無い. Cannot open file\n");
}

TEST(CliFailures, WhatThePlatformThrowsEndsAsTheCommandsOneLineMessage) {
    std::ostringstream out;
    std::ostringstream err;
    CliEnvironment env{out, err, []() -> midi::MidiOutputService& {
                           throw std::runtime_error("no MIDI system here");
                       }};
    EXPECT_EQ(RunCli({"ports"}, env), kExitFailure);
    EXPECT_EQ(err.str(), "patchferry-cli ports: no MIDI system here\n");
}

TEST_F(Cli, PortsListsEveryPortWithItsKindAndAddressOrSaysWhyNot) {
    midi_.SetDevices({{"USB MIDI 1", true, "24:0"}, {"Soft Synth", false, "128:0"}});
    ASSERT_EQ(Run({"ports"}), kExitOk);
    EXPECT_EQ(out_.str(), "0\tUSB MIDI 1\thardware\t24:0\n1\tSoft Synth\tsoftware\t128:0\n");

    midi_.SetListResult({MidiErrorCause::NoAccess, -13, "Permission denied"});
    EXPECT_EQ(Run({"ports"}), kExitFailure);
    EXPECT_TRUE(out_.str().empty());
    EXPECT_EQ(err_.str(),
              "patchferry-cli ports: cannot list the MIDI output ports: Permission denied\n");
}

TEST_F(Cli, SendFindsThePortByNameAddressOrNumberSoftwarePortsToo) {
    const auto bank = Bank();
    midi_.SetDevices(
        {{"radias", false, "14:0"}, {"Radias", true, "24:0"}, {"Through", false, "14:1"}});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"rAdIaS", "Open 24:0"},  // the hardware port of that name comes first
        {"24:0", "Open 24:0"},
        {"2", "Open 14:1"},
        {"through", "Open 14:1"},
    };
    for (const auto& [wanted, opened] : cases) {
        midi_.ClearRecord();
        ASSERT_EQ(Run({"send", bank, "--program", "A3", "--port", wanted, "--channel", "2"}),
                  kExitOk)
            << wanted << ": " << err_.str();
        const auto calls = midi_.Calls();
        EXPECT_NE(std::find(calls.begin(), calls.end(), opened), calls.end()) << wanted;
        const auto sent = midi_.SentMessages();
        ASSERT_EQ(sent.size(), 1U);
        EXPECT_EQ(sent[0].size(), 2052U);
        EXPECT_EQ(sent[0][2], 0x31);
    }
    EXPECT_NE(out_.str().find("2052 bytes) to Through on channel 02"), std::string::npos);
    EXPECT_EQ(midi_.OpenCount(), 0U);

    EXPECT_EQ(Run({"send", bank, "--program", "A1", "--port", "Nothing"}), kExitFailure);
    EXPECT_EQ(err_.str(),
              "patchferry-cli send: no MIDI output port 'Nothing'; the ports are:\n"
              "  0\tradias\tsoftware\t14:0\n  1\tRadias\thardware\t24:0\n"
              "  2\tThrough\tsoftware\t14:1\n");
}

TEST_F(Cli, SendTakesTheFullNameThenAddressThenNumberThenAPartThatFitsOnePort) {
    const auto bank = Bank();
    midi_.SetDevices({{"Midi Through: Midi Through Port-0", false, "14:0"},
                      {"2", false, "128:0"},  // a program that calls its port "2"
                      {"USB MIDI Interface: USB MIDI Interface MIDI 1", true, "20:0"},
                      {"USB MIDI Interface: USB MIDI Interface MIDI 2", false, "20:1"},
                      {"Synth A: in", false, "130:0"},
                      {"Synth B: in", false, "131:0"}});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"2", "Open 128:0"},                  // the full name before the number
        {"20:1", "Open 20:1"},                // an address before a part of a name
        {"4", "Open 130:0"},                  // the number before a part of a name
        {"usb midi interface", "Open 20:0"},  // the one hardware port of several
        {"synth b", "Open 131:0"},            // the one port of any kind
    };
    for (const auto& [wanted, opened] : cases) {
        midi_.ClearRecord();
        ASSERT_EQ(Run({"send", bank, "--program", "A1", "--port", wanted}), kExitOk)
            << wanted << ": " << err_.str();
        const auto calls = midi_.Calls();
        EXPECT_NE(std::find(calls.begin(), calls.end(), opened), calls.end()) << wanted;
    }
    midi_.ClearRecord();
    EXPECT_EQ(Run({"send", bank, "--program", "A1", "--port", "SYNTH"}), kExitUsage);
    EXPECT_EQ(err_.str(),
              "patchferry-cli send: --port 'SYNTH' fits several MIDI output ports; give more of "
              "the name, the address or the number:\n"
              "  4\tSynth A: in\tsoftware\t130:0\n  5\tSynth B: in\tsoftware\t131:0\n");
    EXPECT_TRUE(midi_.SentMessages().empty());
}

TEST_F(Cli, SendGoesThroughAListOfProgramsInOrderThroughOnePort) {
    const auto bank = Bank();
    midi_.SetDevices({{"Radias", true}});
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(
        Run({"send", bank, "--program", "A4,A1-A3,B16-C1", "--port", "Radias", "--pause", "0.05"}),
        kExitOk)
        << err_.str();
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(5 * 50));
    const auto lines = Lines(out_.str());
    ASSERT_EQ(lines.size(), 6U);
    EXPECT_EQ(lines[0].substr(0, 20), "Sent A004 \"Bass\" (20");
    EXPECT_EQ(lines[1].substr(0, 9), "Sent A001");
    EXPECT_EQ(lines[4].substr(0, 9), "Sent B016");
    EXPECT_EQ(lines[5].substr(0, 9), "Sent C001");
    EXPECT_EQ(midi_.SentMessages().size(), 6U);
    const auto calls = midi_.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Open 0"), 1);

    // The first failure ends the run; what went before stays reported.
    midi_.QueueSendResult({});
    midi_.QueueSendResult({MidiErrorCause::Other, 11, "not ready"});
    midi_.ClearRecord();
    EXPECT_EQ(Run({"send", bank, "--program", "A1-A4", "--port", "Radias"}), kExitFailure);
    EXPECT_EQ(Lines(out_.str()).size(), 1U);
    EXPECT_EQ(err_.str(), "Error: Failed to send Midi SysEx message to MS2K. not ready\n");
    EXPECT_EQ(midi_.SentMessages().size(), 1U);

    // A missing program stops the run before anything is sent; a Vocoder program goes out as
    // any other.
    const auto voice =
        dir_.Write("voice.syx", MakeDump(0x40, {MakeImage("V", VoiceMode::Vocoder)}));
    midi_.ClearRecord();
    EXPECT_EQ(Run({"send", voice, "--program", "A1-A2", "--port", "Radias"}), kExitFailure);
    EXPECT_NE(err_.str().find("has no program A2"), std::string::npos) << err_.str();
    EXPECT_TRUE(midi_.SentMessages().empty());
    EXPECT_EQ(Run({"send", voice, "--program", "A1", "--port", "Radias"}), kExitOk) << err_.str();
    EXPECT_EQ(midi_.SentMessages().size(), 1U);
}

TEST_F(Cli, SendFailuresSayWhatTheServiceSaid) {
    const auto bank = Bank();
    midi_.SetDevices({{"Radias", true}});
    midi_.QueueOpenResult({MidiErrorCause::OtherProgram, 4, "in use"});
    EXPECT_EQ(Run({"send", bank, "--program", "A1", "--port", "Radias"}), kExitFailure);
    EXPECT_EQ(err_.str(), "Error: Failed to open the specified MIDI port. in use\n");

    midi_.SetCompletion(FakeCompletion::Never);
    EXPECT_EQ(Run({"send", bank, "--program", "A1", "--port", "Radias"}), kExitFailure);
    EXPECT_NE(err_.str().find("did not finish within 30 seconds"), std::string::npos);
    EXPECT_TRUE(out_.str().empty());

    midi_.SetListResult({MidiErrorCause::NoAccess, -13, "Permission denied"});
    EXPECT_EQ(Run({"send", bank, "--program", "A1", "--port", "Radias"}), kExitFailure);
    EXPECT_EQ(err_.str(), "Error: Failed to open the specified MIDI port. Permission denied\n");
}

TEST_F(Cli, SendCommandLineErrorsAreUsageErrors) {
    const auto bank = Bank();
    midi_.SetDevices({{"Radias", true}});
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"send", bank, "--port", "Radias"},
             {"send", bank, "--program", "A1"},
             {"send", "--program", "A1", "--port", "Radias"},
             {"send", bank, "--program", "A1,", "--port", "Radias"},
             {"send", bank, "--program", "A3-A1", "--port", "Radias"},
             {"send", bank, "--program", "A1-I1", "--port", "Radias"},
             {"send", bank, "--program", "A1", "--port", "Radias", "--pause", "-1"},
             {"send", bank, "--program", "A1", "--port", "Radias", "--pause", "soon"},
         }) {
        EXPECT_EQ(Run(args), kExitUsage) << args[args.size() - 1];
        EXPECT_EQ(Lines(err_.str()).size(), 1U) << err_.str();
    }
    EXPECT_TRUE(midi_.Calls().empty());
}

TEST_F(Cli, HelpAndVersion) {
    EXPECT_EQ(Run({"--version"}), kExitOk);
    EXPECT_EQ(out_.str(), std::string("patchferry-cli ") + PATCHFERRY_TEST_VERSION + "\n");
    ASSERT_EQ(Run({"--help"}), kExitOk);
    const std::string help = out_.str();
    for (const std::string command : {"list", "convert", "ports", "send"}) {
        EXPECT_NE(help.find("\n  " + command + " "), std::string::npos) << help;
        EXPECT_EQ(Run({command, "--help"}), kExitOk);
        EXPECT_NE(out_.str().find("patchferry-cli " + command), std::string::npos);
    }
    EXPECT_EQ(Run({}), kExitUsage);
    EXPECT_EQ(err_.str(), help);
    EXPECT_EQ(Run({"frobnicate"}), kExitUsage);
    EXPECT_EQ(Run({"ports", "--help", "extra"}), kExitUsage);  // it takes nothing, help or not
}

}  // namespace
}  // namespace patchferry::cli

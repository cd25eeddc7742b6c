// Writes the seeds of each fuzz target into its own folder under the folder given:
//   reader/     one valid dump of each kind
//   receiver/   the same dumps as a MIDI input would deliver them in answer to a request:
//               preceded by the byte that says what was asked on which channel and a cut seed
//   converter/  programs in each voice mode, with the channel byte after them
//   inquiry/    an MS2000's reply to the device inquiry among other traffic, after a cut seed
//   cli/        command lines, each argument ended by a NUL byte

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/SyxBuilder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Write(const std::filesystem::path& folder, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes Args(std::initializer_list<std::string_view> args) {
    Bytes bytes;
    for (const std::string_view arg : args) {
        bytes.insert(bytes.end(), arg.begin(), arg.end());
        bytes.push_back(0);
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER\n");
        return 2;
    }
    using namespace patchferry::testing;
    const std::filesystem::path root = argv[1];
    std::vector<patchferry::Ms2kProgramImage> bank;
    for (std::size_t p = 0; p < 128; ++p) {
        bank.push_back(BankImage(p));
    }
    Write(root / "reader", "current.syx", MakeDump(0x40, {BankImage(3)}));
    Write(root / "reader", "bank.syx", MakeDump(0x4C, bank));
    Write(root / "reader", "all.syx", MakeDump(0x50, bank));

    // Asked on channel 3 (2 in the message), answered there, cut with seed 7.
    std::uint8_t asked = 0x20;
    for (const auto& [name, answer] : {std::pair{"current.bin", MakeDump(0x40, {BankImage(3)}, 2)},
                                       std::pair{"bank.bin", MakeDump(0x4C, bank, 2)}}) {
        Bytes seed{asked++, 7};
        seed.insert(seed.end(), answer.begin(), answer.end());
        Write(root / "receiver", name, seed);
    }

    for (std::size_t mode = 0; mode < 4; ++mode) {
        Bytes program(bank[mode].begin(), bank[mode].end());
        program[patchferry::kMs2kVoiceModeOffset] = static_cast<std::uint8_t>(mode << 4U);
        program.push_back(static_cast<std::uint8_t>(mode * 5));
        Write(root / "converter", "mode" + std::to_string(mode) + ".bin", program);
    }

    Bytes inquiry{7, 0xFE, 0x90, 0x40, 0x40};
    const Bytes reply = Ms2kIdentityReply(3);
    inquiry.insert(inquiry.end(), reply.begin(), reply.end());
    Write(root / "inquiry", "ms2000.bin", inquiry);

    const std::pair<const char*, Bytes> lines[] = {
        {"list", Args({"list", "a.syx", "--sort", "3", "--find", "pad"})},
        {"convert", Args({"convert", "a.syx", "--program", "A1", "--channel", "3", "-o", "o.syx"})},
        {"convert-all", Args({"convert", "a.syx", "--all", "-o", "out", "--force"})},
        {"send",
         Args({"send", "a.syx", "--program", "A1,B2-B16", "--port", "UM-ONE", "--pause", "0.5"})},
        {"receive", Args({"receive", "--port", "24:0", "--channel", "auto", "--all", "-o", "-"})},
        {"identify", Args({"identify", "--port", "2"})},
        {"ports", Args({"ports", "--input"})},
        {"help", Args({"convert", "--help", "--", "-x"})},
    };
    for (const auto& [name, line] : lines) {
        Write(root / "cli", name, line);
    }
    return 0;
}

// Writes one valid dump of each kind into the folder given as the first argument, and, into the
// folder given as the second, the same dumps as a MIDI input would deliver them in answer to a
// request: preceded by the byte that says what was asked on which channel and a cut seed.

#include <cstdio>
#include <fstream>
#include <string>

#include "support/SyxBuilder.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER [RECEIVE-FOLDER]\n");
        return 2;
    }
    using namespace patchferry::testing;
    std::vector<patchferry::Ms2kProgramImage> bank;
    for (std::size_t p = 0; p < 128; ++p) {
        bank.push_back(BankImage(p));
    }
    const std::pair<const char*, std::vector<std::uint8_t>> seeds[] = {
        {"current.syx", MakeDump(0x40, {BankImage(3)})},
        {"bank.syx", MakeDump(0x4C, bank)},
        {"all.syx", MakeDump(0x50, bank)},
    };
    for (const auto& [name, bytes] : seeds) {
        std::ofstream out(std::string(argv[1]) + "/" + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    if (argc == 3) {
        // Asked on channel 3 (2 in the message), answered there, cut with seed 7.
        const std::pair<const char*, std::vector<std::uint8_t>> answers[] = {
            {"current.bin", MakeDump(0x40, {BankImage(3)}, 2)},
            {"bank.bin", MakeDump(0x4C, bank, 2)},
        };
        std::uint8_t asked = 0x20;
        for (const auto& [name, bytes] : answers) {
            std::ofstream out(std::string(argv[2]) + "/" + name, std::ios::binary);
            const std::uint8_t prefix[] = {asked++, 7};
            out.write(reinterpret_cast<const char*>(prefix), sizeof prefix);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        }
    }
    return 0;
}

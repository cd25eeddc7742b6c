// Writes one valid dump of each kind into the folder given as the argument.

#include <cstdio>
#include <fstream>
#include <string>

#include "support/SyxBuilder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER\n");
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
    return 0;
}

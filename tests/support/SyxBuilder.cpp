#include "SyxBuilder.h"

#include <fstream>
#include <random>
#include <stdexcept>

#include "library/KorgPacking.h"
#include "library/SyxFormat.h"
#include "library/Utf8Path.h"

namespace patchferry::testing {

Ms2kProgramImage MakeImage(std::string_view name, VoiceMode mode) {
    Ms2kProgramImage image{};
    for (std::size_t i = 0; i < kMs2kNameLength; ++i) {
        image[i] = static_cast<std::uint8_t>(i < name.size() ? name[i] : ' ');
    }
    image[kMs2kVoiceModeOffset] = static_cast<std::uint8_t>(static_cast<unsigned>(mode) << 4U);
    return image;
}

Ms2kProgramImage BankImage(std::size_t p) {
    Ms2kProgramImage image = MakeImage("Prog " + std::to_string(p));
    for (std::size_t i = kMs2kNameLength; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>((p * 31 + i * 7) & 0xFFU);
    }
    image[kMs2kVoiceModeOffset] = static_cast<std::uint8_t>((p % 3) << 4U);  // never Vocoder
    return image;
}

std::vector<std::uint8_t> MakeDump(std::uint8_t function,
                                   const std::vector<Ms2kProgramImage>& images,
                                   std::uint8_t channel) {
    std::vector<std::uint8_t> data;
    for (const auto& image : images) {
        data.insert(data.end(), image.begin(), image.end());
    }
    std::vector<std::uint8_t> dump = {syx::kSysExStart, syx::kKorgId,
                                      static_cast<std::uint8_t>(0x30U | (channel & 0x0FU)),
                                      syx::kMs2kModelId, function};
    const auto packed = KorgPack(data);
    dump.insert(dump.end(), packed.begin(), packed.end());
    if (function == static_cast<std::uint8_t>(syx::DumpFunction::AllData)) {
        dump.insert(dump.end(), syx::kAllDataTrailerSize, 0x11);
    }
    dump.push_back(syx::kSysExEnd);
    return dump;
}

std::vector<std::uint8_t> MakeBankDump(std::uint8_t channel) {
    std::vector<Ms2kProgramImage> images;
    for (std::size_t p = 0; p < 128; ++p) {
        images.push_back(BankImage(p));
    }
    return MakeDump(static_cast<std::uint8_t>(syx::DumpFunction::ProgramDump), images, channel);
}

std::vector<std::vector<std::uint8_t>> InPieces(const std::vector<std::uint8_t>& bytes,
                                                std::size_t pieceSize) {
    constexpr std::uint8_t kActiveSensing = 0xFE;
    std::vector<std::vector<std::uint8_t>> pieces;
    for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
        const std::size_t end = std::min(bytes.size(), at + pieceSize);
        pieces.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(end));
        pieces.push_back({kActiveSensing});
    }
    return pieces;
}

TempDir::TempDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("patchferry-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Utf8() const {
    return Utf8FromPath(path_);
}

std::string TempDir::MakeFolder(const std::string& name) const {
    const auto folder = path_ / PathFromUtf8(name).value();
    std::filesystem::create_directories(folder);
    return Utf8FromPath(folder);
}

std::string TempDir::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    const auto file = path_ / PathFromUtf8(name).value();
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write test file " + Utf8FromPath(file));
    }
    return Utf8FromPath(file);
}

std::vector<std::uint8_t> Ms2kIdentityReply(int channel) {
    return {0xF0, 0x7E, static_cast<std::uint8_t>(channel - 1),
            0x06, 0x02, 0x42,
            0x58, 0x00, 0x01,
            0x00, 0x01, 0x00,
            0x05, 0x00, 0xF7};
}

}  // namespace patchferry::testing

// Reading an MS2000 dump: the header check, one continuous unpacking across program boundaries,
// the all-data trailer and the closing F7.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <system_error>

#include "ProgramLibrary.h"
#include "SyxFormat.h"
#include "Utf8Path.h"

namespace patchferry {

namespace {

std::optional<syx::DumpKind> CheckHeader(std::span<const std::uint8_t> bytes) {
    std::array<std::uint8_t, syx::kHeaderSize> header{};  // bytes the file lacks count as 0
    std::copy_n(bytes.begin(), std::min(bytes.size(), header.size()), header.begin());
    const auto kind = syx::DumpKindOf(header[4]);
    if (header[0] != syx::kSysExStart || header[1] != syx::kKorgId ||
        (header[2] & 0xF0U) != syx::kFormatIdHighNibble || header[3] != syx::kMs2kModelId ||
        !kind) {
        return std::nullopt;
    }
    return kind;
}

char BankLetterOf(std::size_t program) {
    return static_cast<char>('A' + program / syx::kProgramsPerBank);
}

int NumberOf(std::size_t program) {
    return static_cast<int>(program % syx::kProgramsPerBank) + 1;
}

}  // namespace

bool ProgramLibrary::ReadSyxBytes(std::span<const std::uint8_t> bytes, std::string& error,
                                  const std::string& fileLabel) {
    const auto kind = CheckHeader(bytes);
    if (!kind) {
        error = kErrorNotKorgSyx;
        return false;
    }

    // The packed data ends early at the end of the file or at an F7; either way programs are
    // then missing. Past the last program nothing is unpacked.
    const std::size_t packedSize = syx::PackedProgramDataSize(*kind);
    const auto data = bytes.subspan(std::min(bytes.size(), syx::kHeaderSize));
    const auto programData = data.first(std::min(data.size(), packedSize));
    if (programData.size() < packedSize ||
        std::memchr(programData.data(), syx::kSysExEnd, programData.size()) != nullptr) {
        error = kErrorCorrupted;
        return false;
    }
    const std::size_t closingAt = syx::kHeaderSize + packedSize + kind->trailer;
    if (closingAt >= bytes.size() || bytes[closingAt] != syx::kSysExEnd) {
        error = kErrorCorrupted;
        return false;
    }

    // One continuous stream: program boundaries fall inside packing groups.
    std::array<std::uint8_t, syx::kMaxPrograms * kMs2kProgramSize> unpacked;
    const auto images = std::span(unpacked).first(kind->programs * kMs2kProgramSize);
    KorgUnpack(programData, images);
    entries_.reserve(entries_.size() + kind->programs);
    for (std::size_t p = 0; p < kind->programs; ++p) {
        const auto image = images.subspan(p * kMs2kProgramSize).first<kMs2kProgramSize>();
        entries_.push_back(
            std::make_unique<ProgramEntry>(BankLetterOf(p), NumberOf(p), image, fileLabel));
    }
    return true;
}

bool ProgramLibrary::ReadSyxFile(const std::string& path, std::string& error,
                                 const std::string& fileLabel) {
    const auto file = PathFromUtf8(path);
    std::error_code ec;
    if (!file || std::filesystem::is_directory(*file, ec)) {
        error = kErrorCannotOpen;
        return false;
    }
    std::ifstream in(*file, std::ios::binary);
    if (!in) {
        error = kErrorCannotOpen;
        return false;
    }
    // No dump is longer than an all-data dump, and nothing after its closing F7 is read, so
    // that is all of a file that is ever loaded, however large the file is.
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(syx::kLongestMessage);
    in.read(reinterpret_cast<char*>(buffer.get()),
            static_cast<std::streamsize>(syx::kLongestMessage));
    const auto got = static_cast<std::size_t>(in.gcount());
    return ReadSyxBytes(std::span<const std::uint8_t>(buffer.get(), got), error, fileLabel);
}

}  // namespace patchferry

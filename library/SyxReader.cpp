// Reading an MS2000 dump: the header check, one continuous unpacking across program boundaries,
// the all-data trailer and the closing F7.

#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "ProgramLibrary.h"
#include "SyxFormat.h"

namespace patchferry {

namespace {

// Hands out the bytes of a message one at a time; an exhausted source is the end of the file.
class ByteSource {
  public:
    explicit ByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::optional<std::uint8_t> Next() {
        if (next_ == bytes_.size()) {
            return std::nullopt;
        }
        return bytes_[next_++];
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t next_ = 0;
};

std::optional<syx::DumpKind> CheckHeader(ByteSource& source) {
    std::array<std::uint8_t, syx::kHeaderSize> header{};  // bytes the file lacks count as 0
    for (auto& byte : header) {
        byte = source.Next().value_or(0);
    }
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
    ByteSource source(bytes);
    const auto kind = CheckHeader(source);
    if (!kind) {
        error = kErrorNotKorgSyx;
        return false;
    }

    // The programs are collected apart and appended only when the whole dump has been read, so a
    // refused file adds nothing and the programs of files read before it stay.
    std::vector<std::unique_ptr<ProgramEntry>> programs;
    programs.reserve(kind->programs);
    KorgUnpacker unpacker;
    Ms2kProgramImage image{};
    std::size_t filled = 0;
    while (programs.size() < kind->programs) {
        const auto byte = source.Next();
        if (!byte || *byte == syx::kSysExEnd) {
            break;
        }
        std::uint8_t value = 0;
        if (!unpacker.Feed(*byte, value)) {
            continue;
        }
        image[filled++] = value;
        if (filled == kMs2kProgramSize) {
            const std::size_t p = programs.size();
            programs.push_back(
                std::make_unique<ProgramEntry>(BankLetterOf(p), NumberOf(p), image, fileLabel));
            filled = 0;
        }
    }
    for (std::size_t i = 0; i < kind->trailer; ++i) {
        source.Next();
    }
    const auto last = source.Next();
    if (!last || *last != syx::kSysExEnd || programs.size() != kind->programs) {
        error = kErrorCorrupted;
        return false;
    }
    entries_.reserve(entries_.size() + programs.size());
    for (auto& program : programs) {
        entries_.push_back(std::move(program));
    }
    return true;
}

bool ProgramLibrary::ReadSyxFile(const std::string& path, std::string& error,
                                 const std::string& fileLabel) {
    const std::filesystem::path file(
        std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) {
        error = kErrorCannotOpen;
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = kErrorCannotOpen;
        return false;
    }
    // No dump is longer than an all-data dump, and nothing after its closing F7 is read, so
    // that is all of a file that is ever loaded, however large the file is.
    std::array<std::uint8_t, syx::kLongestMessage> buffer{};
    in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    return ReadSyxBytes(std::span<const std::uint8_t>(buffer.data(), got), error, fileLabel);
}

}  // namespace patchferry

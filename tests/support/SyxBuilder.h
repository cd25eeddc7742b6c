#pragma once
// Builds MS2000 dumps in memory, so tests need no files from outside the repository.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "library/Ms2kProgramImage.h"

namespace patchferry::testing {

// An image with `name` in bytes 0..11 (padded with spaces) and the voice mode in byte 16.
Ms2kProgramImage MakeImage(std::string_view name, VoiceMode mode = VoiceMode::Single);

// Image p of a generated bank: distinct name "Prog <p>" and varied bytes, some with bit 7 set.
Ms2kProgramImage BankImage(std::size_t p);

// A whole message: F0 42 3n 58 function, packed images, (229 trailer bytes for 0x50), F7.
std::vector<std::uint8_t> MakeDump(std::uint8_t function,
                                   const std::vector<Ms2kProgramImage>& images,
                                   std::uint8_t channel = 0);

// 128 BankImage()s as a program dump (0x4C), as sent on `channel` (0-based, as in the message).
std::vector<std::uint8_t> MakeBankDump(std::uint8_t channel = 0);

// `bytes` as a MIDI input delivers them: in pieces of `pieceSize`, with active sensing after
// every piece, as an interface sends it every 300 ms whatever else is going on.
std::vector<std::vector<std::uint8_t>> InPieces(const std::vector<std::uint8_t>& bytes,
                                                std::size_t pieceSize = 256);

// An MS2000 keyboard's reply to the device inquiry, from global channel `channel` (1..16).
std::vector<std::uint8_t> Ms2kIdentityReply(int channel);

// A folder that is removed with everything in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    // The folder's UTF-8 path.
    std::string Utf8() const;
    // Makes the folder `name` (UTF-8, may hold "/") inside, with its parents; returns its path.
    std::string MakeFolder(const std::string& name) const;
    // Writes `bytes` to a file `name` (UTF-8, may hold "/") in the folder; returns its path.
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

  private:
    std::filesystem::path path_;
};

}  // namespace patchferry::testing

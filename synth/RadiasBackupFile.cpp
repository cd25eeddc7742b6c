#include "synth/RadiasBackupFile.h"

#include <fstream>
#include <vector>

#include "library/ProgramLibrary.h"
#include "library/Utf8Path.h"
#include "synth/RadiasFacts.h"
#include "synth/RadiasProgramMessages.h"

namespace patchferry::synth {

std::optional<std::size_t> BackupProgramCount(const std::string& path) {
    const auto file = PathFromUtf8(path);
    if (!file) {
        return std::nullopt;
    }
    std::ifstream in(*file, std::ios::binary);
    // One byte past the largest backup tells a larger file apart.
    constexpr std::size_t kLargest = radias::kPrograms * kStoredProgramDumpSize;
    std::vector<std::uint8_t> bytes(kLargest + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return CountStoredProgramDumps(bytes);
}

std::string OpenFailureText(const OpenFailure& failure) {
    if (failure.error == kErrorNotKorgSyx) {
        if (const auto programs = BackupProgramCount(failure.path)) {
            return ParseFailureMessage(
                failure.displayName, "It is a backup of " + std::to_string(*programs) +
                                         (*programs == 1 ? " Radias program" : " Radias programs") +
                                         ", made to put back into a Radias, not an MS2000 file.");
        }
    }
    return ParseFailureMessage(failure.displayName, failure.error);
}

}  // namespace patchferry::synth

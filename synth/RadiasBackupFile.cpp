#include "synth/RadiasBackupFile.h"

#include "library/ProgramLibrary.h"
#include "synth/RadiasProgramMessages.h"
#include "synth/RadiasWriteItems.h"

namespace patchferry::synth {

std::optional<std::size_t> BackupProgramCount(const std::string& path) {
    std::string why;
    const auto bytes = ReadBackupFile(path, why);
    if (!bytes) {
        return std::nullopt;
    }
    return bytes->size() / kStoredProgramDumpSize;
}

std::string OpenFailureText(const OpenFailure& failure) {
    if (failure.error == kErrorNotKorgSyx) {
        if (const auto programs = BackupProgramCount(failure.path)) {
            return ParseFailureMessage(
                failure.displayName,
                "It is a backup of " + std::to_string(*programs) +
                    (*programs == 1 ? " Radias program" : " Radias programs") +
                    ", not an MS2000 file: put it back into the Radias with Program > Restore "
                    "Radias Backup... (or patchferry-cli restore).");
        }
    }
    return ParseFailureMessage(failure.displayName, failure.error);
}

}  // namespace patchferry::synth

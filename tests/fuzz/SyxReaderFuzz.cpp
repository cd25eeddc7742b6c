// Any byte string given to the reader either adds a whole dump (1 or 128 programs) or adds
// nothing and says why with one of the three texts. It never crashes or reads out of bounds.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "library/ProgramLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    patchferry::ProgramLibrary library;
    std::string error;
    // A program already there must survive a failing read.
    library.ReadSyxBytes(std::span<const std::uint8_t>(data, size), error, "first");
    const int before = library.Count();
    error.clear();
    const bool ok = library.ReadSyxBytes(std::span<const std::uint8_t>(data, size), error, "x");
    const int added = library.Count() - before;
    if (ok) {
        if ((added != 1 && added != 128) || !error.empty()) {
            std::abort();
        }
        for (int i = before; i < library.Count(); ++i) {
            const auto& entry = library[static_cast<std::size_t>(i)];
            if (entry.FileLabel() != "x" || entry.Name().size() > 12) {
                std::abort();
            }
        }
    } else if (added != 0 ||
               (error != patchferry::kErrorCannotOpen && error != patchferry::kErrorNotKorgSyx &&
                error != patchferry::kErrorCorrupted)) {
        std::abort();
    }
    return 0;
}

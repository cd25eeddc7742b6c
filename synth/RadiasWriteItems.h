#pragma once
// What a write into the Radias's memory is made of, and what is said about it, alike for the
// window and the command line: the programs with their target slots, the programs a backup file
// puts back, the name a new backup gets, and the text for a run that stopped short.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "library/ProgramEntry.h"
#include "synth/RadiasWriteRun.h"

namespace patchferry::synth {

// `entries` converted, the n-th for the n-th slot from `firstSlot` (0..255), on `channel`
// (0..15); nothing when they would run past the last slot.
std::optional<std::vector<WriteItem>> ConvertedItems(
    const std::vector<const ProgramEntry*>& entries, int firstSlot, int channel);
// "8 programs from A12 would run past P16".
std::string PastLastSlotText(std::size_t programs, int firstSlot);

// The backup file at `path` (UTF-8) read whole, when it is one: Radias program dumps with their
// address and nothing else. For any other file, or one that cannot be read, nothing, and `why`
// says which ("cannot open X", "X is not a Radias backup: ...").
std::optional<std::vector<std::uint8_t>> ReadBackupFile(const std::string& path, std::string& why);
// Each dump of a backup back into the slot it came from, on `channel` (0..15).
std::vector<WriteItem> RestoreItems(std::span<const std::uint8_t> backup, int channel);

// "Radias backup YYYY-MM-DD HH-MM-SS.syx", at the local time now.
std::string DefaultBackupName();

// The name a stored program dump carries (trailing spaces left out; a byte that is no printable
// ASCII shown as '?').
std::string StoredProgramName(std::span<const std::uint8_t> dump);

// "none", "A01" or "A01..A16": the slots of the first `count` items.
std::string SlotSpan(const std::vector<WriteItem>& items, std::size_t count);

// "Wrote 16 programs into A01..A16 on channel 03; what they replaced is in PATH", for a run done.
std::string WrittenText(const RadiasWriteRun& run, int channel, const std::string& backupPath);

// Why a run stopped short, in lower case first (it follows the command's name, or the
// window capitalises it), and what is known after it: what the Radias confirmed, that nothing
// after the unanswered or refused program was sent, and where the backup is. `backupPath` empty
// when the run stopped before the backup was saved.
std::string StoppedText(const RadiasWriteRun& run, const std::string& inputName, int channel,
                        const std::string& backupPath);

}  // namespace patchferry::synth

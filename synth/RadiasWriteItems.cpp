#include "synth/RadiasWriteItems.h"

#include <array>
#include <ctime>
#include <fstream>

#include "convert/ProgramConverter.h"
#include "convert/ProgramLayout.h"
#include "library/KorgPacking.h"
#include "library/Utf8Path.h"
#include "synth/ChannelText.h"
#include "synth/DumpConfirmation.h"
#include "synth/RadiasFacts.h"
#include "synth/RadiasProgramMessages.h"
#include "synth/RadiasSlots.h"

namespace patchferry::synth {
namespace {

constexpr std::size_t kPackedAt = korg::kHeaderSize + radias::kAddressSize;

}  // namespace

std::optional<std::vector<WriteItem>> ConvertedItems(
    const std::vector<const ProgramEntry*>& entries, int firstSlot, int channel) {
    if (firstSlot < 0 || firstSlot + static_cast<long long>(entries.size()) > radias::kPrograms) {
        return std::nullopt;
    }
    std::vector<WriteItem> items;
    items.reserve(entries.size());
    int slot = firstSlot;
    for (const ProgramEntry* entry : entries) {
        ProgramConverter converter(entry->Image());
        converter.Convert();
        const StoredProgramDump dump = BuildStoredProgramDump(converter.Image(), slot, channel);
        items.push_back({slot,
                         {dump.begin(), dump.end()},
                         entry->BankLabel() + entry->NumberLabel() + " \"" + entry->Name() + "\""});
        ++slot;
    }
    return items;
}

std::string PastLastSlotText(std::size_t programs, int firstSlot) {
    return std::to_string(programs) + (programs == 1 ? " program" : " programs") + " from " +
           SlotName(firstSlot) + " would run past P16";
}

std::optional<std::vector<std::uint8_t>> ReadBackupFile(const std::string& path, std::string& why) {
    const auto file = PathFromUtf8(path);
    std::ifstream in(file.value_or(std::filesystem::path()), std::ios::binary);
    if (!file || !in) {
        why = "cannot open " + path;
        return std::nullopt;
    }
    // One byte past the largest backup tells a larger file apart.
    std::vector<std::uint8_t> bytes(radias::kPrograms * kStoredProgramDumpSize + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (!CountStoredProgramDumps(bytes)) {
        why = path +
              " is not a Radias backup: it must hold Radias program dumps with their slot (2054 "
              "bytes each) and nothing else; nothing was sent";
        return std::nullopt;
    }
    return bytes;
}

std::vector<WriteItem> RestoreItems(std::span<const std::uint8_t> backup, int channel) {
    std::vector<WriteItem> items;
    for (std::size_t at = 0; at + kStoredProgramDumpSize <= backup.size();
         at += kStoredProgramDumpSize) {
        const auto message = std::span<const std::uint8_t, kStoredProgramDumpSize>(
            backup.data() + at, kStoredProgramDumpSize);
        const auto slot = StoredProgramSlot(message);
        if (!slot) {
            continue;  // callers check the whole file first
        }
        const StoredProgramDump dump = OnChannel(message, channel);
        items.push_back(
            {*slot,
             {dump.begin(), dump.end()},
             "\"" + StoredProgramName(message) + "\" backed up from " + SlotName(*slot)});
    }
    return items;
}

std::string DefaultBackupName() {
    const std::time_t now = std::time(nullptr);
    // Called from one thread only (the window's, or the command line's): localtime's shared
    // result is safe here.
    const std::tm* local = std::localtime(&now);  // NOLINT(concurrency-mt-unsafe)
    std::array<char, 64> name{};
    std::strftime(name.data(), name.size(), "Radias backup %Y-%m-%d %H-%M-%S.syx", local);
    return name.data();
}

std::string StoredProgramName(std::span<const std::uint8_t> dump) {
    if (dump.size() < kPackedAt) {
        return {};
    }
    std::array<std::uint8_t, kRadiasNameOffset + kRadiasNameLength> start{};
    KorgUnpack(dump.subspan(kPackedAt), start);
    std::string name;
    for (std::size_t i = kRadiasNameOffset; i < start.size(); ++i) {
        const std::uint8_t byte = start[i];
        name += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?';
    }
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

std::string SlotSpan(const std::vector<WriteItem>& items, std::size_t count) {
    if (count == 0 || items.empty()) {
        return "none";
    }
    return SlotName(items.front().slot) + (count > 1 ? ".." + SlotName(items[count - 1].slot) : "");
}

std::string WrittenText(const RadiasWriteRun& run, int channel, const std::string& backupPath) {
    const std::size_t total = run.Items().size();
    return "Wrote " + std::to_string(total) + (total == 1 ? " program" : " programs") + " into " +
           SlotSpan(run.Items(), total) + " on channel " + ChannelText(channel) +
           "; what they replaced is in " + backupPath;
}

std::string StoppedText(const RadiasWriteRun& run, const std::string& inputName, int channel,
                        const std::string& backupPath) {
    const std::string advice =
        run.Unanswered() ? " " + SilenceAdvice(inputName, channel) : std::string();
    // A refusal's text ends with its advice, a sentence of its own.
    std::string why =
        run.Phase() == WritePhase::Cancelled ? std::string("cancelled") : run.FailureText();
    if (why.empty() || why.back() != '.') {
        why += '.';
    }
    if (backupPath.empty()) {
        return why + advice + " Nothing was written.";
    }
    const std::size_t confirmed = run.Confirmed();
    return why + advice + " Confirmed: " + std::to_string(confirmed) + " of " +
           std::to_string(run.Items().size()) + " (" + SlotSpan(run.Items(), confirmed) +
           "); nothing after it was sent. What was there before is in " + backupPath + ".";
}

}  // namespace patchferry::synth

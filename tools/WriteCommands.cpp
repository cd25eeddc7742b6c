// patchferry-cli write and restore: programs written into a Radias's memory, each slot they
// replace read back and saved first, each program confirmed before the next.

#include <algorithm>
#include <chrono>
#include <ostream>

#include "CommandSupport.h"
#include "Commands.h"
#include "ProgramChoice.h"
#include "ProgressLine.h"
#include "SynthLink.h"
#include "WriteFile.h"
#include "synth/ChannelText.h"
#include "synth/RadiasFacts.h"
#include "synth/RadiasSlots.h"
#include "synth/RadiasWriteItems.h"
#include "synth/RadiasWriteRun.h"

namespace patchferry::cli {
namespace {

const std::string kWrite = "write";
const std::string kRestore = "restore";

// Backs up the target slots into the backup file, then writes the items; one line for each
// program the Radias took.
int WriteItems(std::vector<synth::WriteItem> items, const ParsedArgs& args, int channel,
               CliEnvironment& env, const std::string& command) {
    const std::string prefix = "patchferry-cli " + command + ": ";
    const auto named = args.Value("--backup");
    const std::string backupPath = named.value_or(synth::DefaultBackupName());
    // Checked before the Radias is asked: nothing is written into it without its backup.
    if (!CanWriteNewFile(backupPath, env, command)) {
        return kExitFailure;
    }
    int status = kExitFailure;
    const auto link = SynthLink::OpenEither(*args.Value("--port"), env, command, status);
    if (!link) {
        return kExitFailure;
    }
    synth::RadiasWriteRun run(link->Talk(), channel, std::move(items));
    std::string error;
    const auto runTo = [&](auto more) {
        while (more()) {
            if (!run.Step(SynthLink::kPoll, error)) {
                link->SendFailed(error);
                return false;
            }
        }
        return true;
    };
    if (!run.Start(error)) {
        link->SendFailed(error);
        return kExitFailure;
    }
    ProgressLine progress(env);
    const synth::RadiasBackup& reading = link->Talk().Backup();
    const bool backedUp = runTo([&] {
        if (progress.Due()) {
            progress.Show("Backing up: " + synth::SlotName(reading.Asking()) + " (" +
                          std::to_string(reading.Received()) + " of " +
                          std::to_string(reading.Total()) + ")");
        }
        return run.Phase() == synth::WritePhase::BackingUp;
    });
    progress.End();
    if (!backedUp) {
        return kExitFailure;
    }
    if (run.Phase() != synth::WritePhase::BackedUp) {
        env.err << prefix << synth::StoppedText(run, link->InputName(), channel, {}) << "\n";
        return kExitFailure;
    }
    if (!WriteBytesFile(backupPath, run.Backup(), Overwrite::Never, env, command)) {
        env.err << prefix << "nothing was written into the Radias.\n";
        return kExitFailure;
    }
    const std::size_t total = run.Items().size();
    env.err << "The " << total << (total == 1 ? " program" : " programs") << " in "
            << synth::SlotSpan(run.Items(), total) << " are backed up in " << backupPath << "\n";
    if (!run.Proceed(error)) {
        link->SendFailed(error);
        return kExitFailure;
    }
    std::size_t said = 0;
    const bool ran = runTo([&] {
        for (; said < run.Confirmed(); ++said) {
            const synth::WriteItem& item = run.Items()[said];
            progress.Clear();
            env.out << item.label << " -> " << synth::SlotName(item.slot) << ": the Radias took it"
                    << std::endl;
        }
        if (run.Busy() && progress.Due()) {
            const synth::WriteItem& item = run.Items()[std::min(run.Current(), total - 1)];
            progress.Show("Writing: " + item.label + " -> " + synth::SlotName(item.slot) + " (" +
                          std::to_string(run.Confirmed()) + " of " + std::to_string(total) +
                          " confirmed)");
        }
        return run.Busy();
    });
    progress.Clear();
    if (ran && run.Phase() == synth::WritePhase::Done) {
        env.out << synth::WrittenText(run, channel, backupPath) << std::endl;
        return kExitOk;
    }
    env.err << prefix << synth::StoppedText(run, link->InputName(), channel, backupPath) << "\n";
    return kExitFailure;
}

}  // namespace

int RunWrite(const ParsedArgs& args, CliEnvironment& env) {
    const auto to = args.Value("--to");
    const bool all = args.Has("--all");
    const auto list = args.Value("--program");
    if (args.positional.size() != 1 || !to || all == list.has_value() || !args.Value("--port")) {
        env.err << "patchferry-cli write: give one file, --program LIST or --all, --to SLOT and "
                   "--port (see patchferry-cli write --help)\n";
        return kExitUsage;
    }
    const std::optional<int> channel = ChannelOption(args, env, kWrite);
    if (!channel) {
        return kExitUsage;
    }
    const auto first = synth::ParseSlot(*to);
    if (!first) {
        env.err << "patchferry-cli write: --to takes a slot as the Radias shows it (A01..P16) or "
                   "a number 1..256, not '"
                << *to << "'\n";
        return kExitUsage;
    }
    std::vector<ProgramLabel> labels;
    if (list) {
        const auto parsed = ParseProgramList(*list);
        if (!parsed) {
            env.err << "patchferry-cli write: '" << *list
                    << "' is not a list of programs: bank letters A..H with numbers 1..16, "
                       "commas and ranges, e.g. A1,A5,B1-B16\n";
            return kExitUsage;
        }
        labels = *parsed;
    }
    ProgramLibrary library;
    if (!ReadOneFile(args.positional[0], library, env, kWrite)) {
        return kExitFailure;
    }
    std::vector<const ProgramEntry*> entries;
    if (all) {
        for (int i = 0; i < library.Count(); ++i) {
            entries.push_back(&library[static_cast<std::size_t>(i)]);
        }
    }
    for (const ProgramLabel& label : labels) {
        const int index = FindProgram(library, label);
        if (index < 0) {
            env.err << "patchferry-cli write: the file has no program " << label.bank
                    << label.number << "\n";
            return kExitFailure;
        }
        entries.push_back(&library[static_cast<std::size_t>(index)]);
    }
    // The n-th program goes to the n-th slot from the first; none past the last slot.
    auto items = synth::ConvertedItems(entries, *first, *channel);
    if (!items) {
        env.err << "patchferry-cli write: " << synth::PastLastSlotText(entries.size(), *first)
                << "; nothing was sent\n";
        return kExitFailure;
    }
    return WriteItems(std::move(*items), args, *channel, env, kWrite);
}

int RunRestore(const ParsedArgs& args, CliEnvironment& env) {
    if (args.positional.size() != 1 || !args.Value("--port")) {
        env.err << "patchferry-cli restore: give one backup file and --port (see patchferry-cli "
                   "restore --help)\n";
        return kExitUsage;
    }
    const std::optional<int> channel = ChannelOption(args, env, kRestore);
    if (!channel) {
        return kExitUsage;
    }
    const std::string& path = args.positional[0];
    std::string why;
    const auto backup = synth::ReadBackupFile(path, why);
    if (!backup) {
        env.err << "patchferry-cli restore: " << why << "\n";
        return kExitFailure;
    }
    return WriteItems(synth::RestoreItems(*backup, *channel), args, *channel, env, kRestore);
}

}  // namespace patchferry::cli

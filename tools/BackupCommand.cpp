// patchferry-cli backup: programs read from a Radias's memory into a file, exactly as they came.

#include <chrono>
#include <ostream>

#include "CommandSupport.h"
#include "Commands.h"
#include "ProgressLine.h"
#include "SynthLink.h"
#include "WriteFile.h"
#include "synth/ChannelText.h"
#include "synth/RadiasFacts.h"
#include "synth/RadiasSlots.h"

namespace patchferry::cli {
namespace {

const std::string kBackup = "backup";

}  // namespace

int RunBackup(const ParsedArgs& args, CliEnvironment& env) {
    const auto portText = args.Value("--port");
    const auto target = args.Value("-o");
    if (!portText || !target || !args.positional.empty()) {
        env.err << "patchferry-cli backup: give --port and -o FILE (see patchferry-cli backup "
                   "--help)\n";
        return kExitUsage;
    }
    const std::string slotsText = args.Value("--slots").value_or("A01-P16");
    const auto range = synth::ParseSlotRange(slotsText);
    if (!range) {
        env.err << "patchferry-cli backup: --slots takes a slot or a range of slots as the Radias "
                   "shows them (A01..P16) or as numbers 1..256, e.g. A01-H16, not '"
                << slotsText << "'\n";
        return kExitUsage;
    }
    const auto channel = ChannelOption(args, env, kBackup);
    if (!channel) {
        return kExitUsage;
    }
    // Checked before the Radias is asked: a whole memory takes minutes to come.
    const bool toOutput = *target == kStandardOutput;
    if (toOutput ? !StandardOutputTakesBytes(env, kBackup)
                 : !CanWriteNewFile(*target, env, kBackup)) {
        return kExitFailure;
    }
    int status = kExitFailure;
    const auto link = SynthLink::OpenEither(*portText, env, kBackup, status);
    if (!link) {
        return kExitFailure;
    }
    std::vector<int> slots;
    for (int slot = range->first; slot <= range->second; ++slot) {
        slots.push_back(slot);
    }
    synth::Conversation& talk = link->Talk();
    const synth::RadiasBackup& backup = talk.Backup();
    const auto started = std::chrono::steady_clock::now();
    if (std::string error; !talk.StartBackup(slots, *channel, error)) {
        link->SendFailed(error);
        return kExitFailure;
    }
    ProgressLine progress(env);
    const bool ran = link->RunTask([&] {
        if (progress.Due()) {
            progress.Show("Backing up: " + synth::SlotName(backup.Asking()) + " (" +
                          std::to_string(backup.Received()) + " of " +
                          std::to_string(backup.Total()) + ")");
        }
    });
    progress.End();
    if (!ran) {
        return kExitFailure;
    }
    if (backup.State() != synth::BackupState::Done) {
        env.err << "patchferry-cli backup: " << backup.FailureText() << ". "
                << (backup.Unanswered() ? synth::SilenceAdvice(link->InputName(), *channel) + " "
                                        : std::string())
                << "Nothing was written (" << backup.Received() << " of " << backup.Total()
                << " programs had come).\n";
        return kExitFailure;
    }
    if (toOutput ? !WriteToStandardOutput(backup.Dumps(), env, kBackup)
                 : !WriteBytesFile(*target, backup.Dumps(), Overwrite::Never, env, kBackup)) {
        return kExitFailure;
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    (toOutput ? env.err : env.out)
        << "Backed up " << backup.Total() << " programs (" << synth::SlotName(range->first) << ".."
        << synth::SlotName(range->second) << ") from the Radias on channel "
        << synth::ChannelText(*channel) << " into " << (toOutput ? "standard output" : *target)
        << " in " << took.count() << " ms" << std::endl;
    return kExitOk;
}

}  // namespace patchferry::cli

// patchferry-cli ports and send: the MIDI outputs, and auditioning programs on a Radias.

#include <charconv>
#include <chrono>
#include <cmath>
#include <ostream>
#include <thread>

#include "CommandSupport.h"
#include "Commands.h"
#include "PortChoice.h"
#include "ProgramChoice.h"
#include "SynthLink.h"
#include "midi/MidiMessages.h"
#include "midi/MidiOutPort.h"
#include "midi/SendLongMessage.h"
#include "synth/ChannelText.h"

namespace patchferry::cli {

namespace {

const std::string kSend = "send";
// The longest --pause; anything longer is a typo rather than a wish.
constexpr double kLongestPauseSeconds = 3600.0;

std::optional<std::chrono::milliseconds> ParsePause(const std::string& text) {
    double seconds = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, seconds);
    if (text.empty() || ec != std::errc() || ptr != end || !(seconds >= 0.0) ||
        seconds > kLongestPauseSeconds) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(std::llround(seconds * 1000.0));
}

struct ProgramToSend {
    const ProgramEntry* entry;
    ProgramDump dump;
};

// Every program of the list converted, or nothing when one of them is missing (reported): nothing
// is sent unless all of them can be.
std::optional<std::vector<ProgramToSend>> ConvertAll(const std::vector<ProgramLabel>& labels,
                                                     const std::string& listText,
                                                     const ProgramLibrary& library, int channel,
                                                     CliEnvironment& env) {
    std::vector<ProgramToSend> programs;
    for (const ProgramLabel& label : labels) {
        const int index = FindProgram(library, label);
        if (index < 0) {
            env.err << "patchferry-cli send: the file has no program " << label.bank << label.number
                    << " (asked for with --program " << listText << ")\n";
            return std::nullopt;
        }
        const ProgramEntry& entry = library[static_cast<std::size_t>(index)];
        programs.push_back({&entry, ConvertToDump(entry, channel)});
    }
    return programs;
}

std::string Label(const ProgramEntry& entry) {
    return entry.BankLabel() + entry.NumberLabel() + " \"" + entry.Name() + "\"";
}

// Each program sent and the Radias's answer awaited before the next: one line for each, and a stop
// at the first that it refuses or leaves unanswered.
int SendConfirmed(const std::vector<ProgramToSend>& programs, const midi::MidiPortInfo& output,
                  int channel, std::chrono::milliseconds pause, CliEnvironment& env) {
    const auto link = SynthLink::OpenBeside(output, env, kSend);
    if (!link) {
        return kExitFailure;
    }
    synth::Conversation& talk = link->Talk();
    for (std::size_t i = 0; i < programs.size(); ++i) {
        if (i > 0 && pause.count() > 0) {
            std::this_thread::sleep_for(pause);
        }
        const ProgramToSend& program = programs[i];
        std::string error;
        if (!talk.StartConfirm(program.dump, channel, error)) {
            link->SendFailed(error);
            return kExitFailure;
        }
        link->RunTask();
        const synth::DumpConfirmation& confirmation = talk.Confirmation();
        const std::string label = Label(*program.entry);
        if (confirmation.State() != synth::ConfirmState::Answered) {
            env.err << "patchferry-cli send: " << label
                    << " was sent; no answer from the Radias within 1 s. "
                    << synth::SilenceAdvice(link->InputName(), channel)
                    << " Nothing after it was sent.\n";
            return kExitFailure;
        }
        if (confirmation.Answer() != synth::RadiasAnswer::DataLoadCompleted) {
            env.err << "patchferry-cli send: " << label << ": the Radias refused it with "
                    << synth::AnswerName(confirmation.Answer()) << ". "
                    << synth::RefusalAdvice(confirmation.Answer())
                    << " Nothing after it was sent.\n";
            return kExitFailure;
        }
        env.out << label << ": the Radias took it on channel " << synth::ChannelText(channel)
                << " (answered " << confirmation.AnsweredAfter().count()
                << " ms after the dump had gone)" << std::endl;
    }
    return kExitOk;
}

}  // namespace

int RunPorts(const ParsedArgs& args, CliEnvironment& env) {
    std::vector<midi::MidiPortInfo> ports;
    if (args.Has("--input")) {
        midi::MidiInputService& service = InputService(env);
        const midi::MidiError listed = service.ListInputPorts(ports);
        if (listed.Failed()) {
            env.err << "patchferry-cli ports: cannot list the MIDI input ports: " << listed.Text()
                    << "\n";
            return kExitFailure;
        }
    } else {
        midi::MidiOutputService& service = env.midiService();
        const midi::MidiError listed = service.ListPorts(ports);
        if (listed.Failed()) {
            env.err << "patchferry-cli ports: cannot list the MIDI output ports: " << listed.Text()
                    << "\n";
            return kExitFailure;
        }
    }
    PrintPorts(ports, env.out, "");
    return kExitOk;
}

int RunSend(const ParsedArgs& args, CliEnvironment& env) {
    const auto portText = args.Value("--port");
    const auto programText = args.Value("--program");
    if (args.positional.size() != 1 || !portText || !programText) {
        env.err << "patchferry-cli send: give one file, --program and --port (see patchferry-cli "
                   "send --help)\n";
        return kExitUsage;
    }
    const auto labels = ParseProgramList(*programText);
    if (!labels) {
        env.err << "patchferry-cli send: '" << *programText
                << "' is not a list of programs: bank letters A..H with numbers 1..16, commas "
                   "and ranges, e.g. A1,A5,B1-B16\n";
        return kExitUsage;
    }
    std::chrono::milliseconds pause{0};
    if (const auto pauseText = args.Value("--pause")) {
        const auto parsedPause = ParsePause(*pauseText);
        if (!parsedPause) {
            env.err << "patchferry-cli send: --pause takes seconds from 0 to 3600, not '"
                    << *pauseText << "'\n";
            return kExitUsage;
        }
        pause = *parsedPause;
    }
    const auto channel = ChannelOption(args, env, kSend);
    if (!channel) {
        return kExitUsage;
    }
    ProgramLibrary library;
    if (!ReadOneFile(args.positional[0], library, env, kSend)) {
        return kExitFailure;
    }
    const auto programs = ConvertAll(*labels, *programText, library, *channel, env);
    if (!programs) {
        return kExitFailure;
    }

    midi::MidiOutputService& service = env.midiService();
    std::vector<midi::MidiPortInfo> ports;
    const midi::MidiError listed = service.ListPorts(ports);
    if (listed.Failed()) {
        env.err << midi::OpenFailureMessage(listed.Text()) << "\n";
        return kExitFailure;
    }
    int status = kExitFailure;
    const midi::MidiPortInfo* target = PickPort(ports, *portText, "output", kSend, env, status);
    if (target == nullptr) {
        return status;
    }
    if (args.Has("--confirm")) {
        return SendConfirmed(*programs, *target, *channel, pause, env);
    }
    midi::MidiOutPort port(service);
    const midi::MidiError opened = port.Open(*target);
    if (opened.Failed()) {
        env.err << midi::OpenFailureMessage(opened.Text()) << "\n";
        return kExitFailure;
    }
    for (std::size_t i = 0; i < programs->size(); ++i) {
        if (i > 0 && pause.count() > 0) {
            std::this_thread::sleep_for(pause);
        }
        const ProgramToSend& program = (*programs)[i];
        const auto started = std::chrono::steady_clock::now();
        const midi::SendOutcome outcome =
            midi::SendLongMessage(port, program.dump, env.sendTimeout);
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - started);
        const std::string label = program.entry->BankLabel() + program.entry->NumberLabel();
        if (!outcome.Succeeded()) {
            env.err << midi::SendFailureMessage(outcome.errorText) << "\n";
            return kExitFailure;
        }
        env.out << "Sent " << label << " \"" << program.entry->Name() << "\" ("
                << program.dump.size() << " bytes) to " << target->name << " on channel "
                << synth::ChannelText(*channel) << " in " << took.count() << " ms" << std::endl;
    }
    return kExitOk;
}

}  // namespace patchferry::cli

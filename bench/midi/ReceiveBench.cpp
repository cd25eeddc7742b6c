// What receiving a bank of 128 programs from an MS2000 costs on our side, against the time the
// answer takes on a MIDI cable: the request out, the input's pieces (with active sensing after
// each) through the queue, the SysEx joining and the receiver, as the command line and the
// window's dialog step them. The fake delivers the answer at once, from its own thread as a
// backend does, so what is measured is ours alone. The argument is the size of the pieces the
// input delivers: one byte is the worst case, ALSA hands over a long message in pieces of about
// 256 bytes.

#include <benchmark/benchmark.h>

#include <chrono>

#include "midi/SynthConnection.h"
#include "midi/alsa/SysExPacing.h"
#include "midi/fake/FakeMidiService.h"
#include "support/SyxBuilder.h"
#include "synth/Conversation.h"

namespace {

using namespace patchferry;
using namespace patchferry::midi;
using Bytes = std::vector<std::uint8_t>;
using Pieces = std::vector<Bytes>;

constexpr int kChannel = 3;
const MidiPortInfo kInterface{"UM-ONE", true, "24:0"};

void BM_ReceiveBank(benchmark::State& state) {
    FakeMidiService service({{kInterface.name, true, kInterface.address}});
    const Pieces bank = testing::InPieces(testing::MakeBankDump(kChannel - 1),
                                          static_cast<std::size_t>(state.range(0)));
    service.SetResponder([&bank](std::span<const std::uint8_t>) { return Pieces(bank); });
    std::string error;
    auto connection = SynthConnection::Open(service, service, kInterface, nullptr, error);
    if (!connection) {
        state.SkipWithError(error.c_str());
        return;
    }
    synth::Conversation talk(std::move(connection));
    const synth::ProgramReceiver& receiver = talk.Receiver();
    std::chrono::steady_clock::duration spent{};
    for (auto _ : state) {
        if (!talk.StartReceive(synth::ReceiveWhat::AllPrograms, kChannel, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        // The MS2000's pause between two requests is the synth's, not the receiving's: the time
        // counts from the request.
        while (talk.Running() && receiver.State() == synth::ReceiveState::Idle) {
            talk.Step(std::chrono::milliseconds(1), error);
        }
        const auto started = std::chrono::steady_clock::now();
        while (talk.Running()) {
            talk.Step(std::chrono::milliseconds(10), error);
        }
        spent += std::chrono::steady_clock::now() - started;
        if (receiver.State() != synth::ReceiveState::Done) {
            state.SkipWithError(receiver.FailureText().c_str());
            return;
        }
        service.ClearRecord();
    }
    const auto cable =
        alsa::SysExTransmissionTime(synth::AnswerSize(synth::ReceiveWhat::AllPrograms));
    const double perBank =
        std::chrono::duration<double>(spent).count() / static_cast<double>(state.iterations());
    state.counters["cable_ms"] = std::chrono::duration<double, std::milli>(cable).count();
    state.counters["share_of_cable_%"] =
        100.0 * perBank / std::chrono::duration<double>(cable).count();
}
BENCHMARK(BM_ReceiveBank)->Arg(1)->Arg(256)->Arg(4096)->Unit(benchmark::kMillisecond);

}  // namespace

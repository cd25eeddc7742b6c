// What an audition costs on our side before the MIDI service takes over: building the program dump,
// and the whole send sequence against a service that completes at once.

#include <benchmark/benchmark.h>

#include "midi/MidiOutPort.h"
#include "midi/SendLongMessage.h"
#include "midi/fake/FakeMidiService.h"
#include "synth/ProgramDump.h"

namespace {

patchferry::RadiasProgramImage VariedImage() {
    patchferry::RadiasProgramImage image{};
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 131U + 7U);
    }
    return image;
}

void BM_BuildProgramDump(benchmark::State& state) {
    const patchferry::RadiasProgramImage image = VariedImage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(patchferry::BuildProgramDump(image, 5));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(patchferry::kProgramDumpSize));
}
BENCHMARK(BM_BuildProgramDump);

void BM_SendLongMessageImmediateCompletion(benchmark::State& state) {
    using namespace patchferry::midi;
    FakeMidiService service({{"Radias", true}});
    MidiOutPort port(service);
    if (port.Open({"Radias", true, "0"}).Failed()) {
        state.SkipWithError("open failed");
        return;
    }
    const patchferry::ProgramDump dump = patchferry::BuildProgramDump(VariedImage(), 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SendLongMessage(port, dump));
        // The fake keeps every call and message; keep the record from growing.
        service.ClearRecord();
    }
}
BENCHMARK(BM_SendLongMessageImmediateCompletion);

}  // namespace

BENCHMARK_MAIN();

// Converting a Single, a Dual and a Vocoder program, next to a plain copy of the 1790 bytes that
// every conversion starts with. A conversion should cost no more than five plain copies.

#include <benchmark/benchmark.h>

#include <algorithm>

#include "convert/ProgramConverter.h"
#include "convert/RadiasInitTemplate.h"
#include "support/SyxBuilder.h"

namespace {

using patchferry::Ms2kProgramImage;
using patchferry::ProgramConverter;
using patchferry::RadiasProgramImage;
using patchferry::VoiceMode;

// A generated program with varied bytes and the given voice mode, with the bytes that would make
// it approximate set to exact values: the common case, which must not allocate. (A Vocoder
// program always names the two things about the Radias's vocoder that are not confirmed.)
Ms2kProgramImage Program(VoiceMode mode) {
    Ms2kProgramImage image = patchferry::testing::BankImage(7);
    image[16] = static_cast<std::uint8_t>(static_cast<unsigned>(mode) << 4U);
    for (const std::size_t timbre : {38U, 146U}) {
        image[timbre + 7] = 2;                                                       // OSC1 wave
        image[timbre + 14] = 64;                                                     // OSC2 tune
        image[timbre + 27] = static_cast<std::uint8_t>(image[timbre + 27] & 0xBEU);  // switches
        image[timbre + 40] = static_cast<std::uint8_t>((image[timbre + 40] & 0xE0U) | 3U);
        image[timbre + 43] = static_cast<std::uint8_t>((image[timbre + 43] & 0xE0U) | 4U);
        for (const std::size_t lane : {54U, 72U, 90U}) {
            image[timbre + lane] = 5;  // knob assignment
        }
    }
    if (mode == VoiceMode::Vocoder) {  // the vocoder area over timbre 1
        image[38 + 16] = 0;            // Inst level
        image[38 + 21] = 1;            // formant shift
        image[38 + 25] = 64;           // fc mod intensity
        image[38 + 29] = static_cast<std::uint8_t>(image[38 + 29] & 0xFEU);  // distortion
        image[38 + 42] = static_cast<std::uint8_t>((image[38 + 42] & 0xE0U) | 3U);
        image[38 + 45] = static_cast<std::uint8_t>((image[38 + 45] & 0xE0U) | 4U);
    }
    return image;
}

void BM_PlainCopy(benchmark::State& state) {
    const RadiasProgramImage& from = patchferry::RadiasInitTemplateImage();
    RadiasProgramImage to{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(from.data());
        std::copy(from.begin(), from.end(), to.begin());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainCopy);

void Convert(benchmark::State& state, VoiceMode mode) {
    const Ms2kProgramImage source = Program(mode);
    ProgramConverter converter(source);
    for (auto _ : state) {
        benchmark::DoNotOptimize(source.data());
        converter.Convert();
        benchmark::DoNotOptimize(converter.Image().data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(patchferry::VerdictText(converter.Report()));
}

void BM_ConvertSingle(benchmark::State& state) {
    Convert(state, VoiceMode::Single);
}
void BM_ConvertDual(benchmark::State& state) {
    Convert(state, VoiceMode::Dual);
}
void BM_ConvertVocoder(benchmark::State& state) {
    Convert(state, VoiceMode::Vocoder);
}
BENCHMARK(BM_ConvertSingle);
BENCHMARK(BM_ConvertDual);
BENCHMARK(BM_ConvertVocoder);

// As the program list does it: a new converter for every program.
void BM_BuildAndConvertSingle(benchmark::State& state) {
    const Ms2kProgramImage source = Program(VoiceMode::Single);
    for (auto _ : state) {
        ProgramConverter converter(source);
        converter.Convert();
        benchmark::DoNotOptimize(converter.Quality());
        benchmark::DoNotOptimize(converter.Image().data());
    }
}
BENCHMARK(BM_BuildAndConvertSingle);

}  // namespace

BENCHMARK_MAIN();

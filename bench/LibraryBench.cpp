// Reading a 128-program dump next to a plain read of the same bytes, and sorting 100 banks.

#include <benchmark/benchmark.h>

#include <fstream>

#include "library/ProgramLibrary.h"
#include "support/SyxBuilder.h"

namespace {

using patchferry::ProgramLibrary;
using patchferry::testing::MakeBankDump;
using patchferry::testing::TempDir;

const TempDir& Folder() {
    static const TempDir dir;
    return dir;
}

const std::string& BankFile() {
    static const std::string path = Folder().Write("bank.syx", MakeBankDump());
    return path;
}

void BM_PlainRead(benchmark::State& state) {
    const auto& path = BankFile();
    std::vector<char> buffer(40000);
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        benchmark::DoNotOptimize(in.gcount());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainRead);

void BM_ReadSyxFile(benchmark::State& state) {
    const auto& path = BankFile();
    ProgramLibrary library;
    std::string error;
    for (auto _ : state) {
        library.Clear();
        if (!library.ReadSyxFile(path, error, "bank")) {
            state.SkipWithError(error.c_str());
        }
        benchmark::DoNotOptimize(library.Count());
    }
}
BENCHMARK(BM_ReadSyxFile);

void BM_SortByColumn(benchmark::State& state) {
    const auto dump = MakeBankDump();
    ProgramLibrary source;
    std::string error;
    for (int file = 0; file < 100; ++file) {
        source.ReadSyxBytes(dump, error, "bank " + std::to_string(99 - file));
    }
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        ProgramLibrary library;
        for (int i = 0; i < source.Count(); ++i) {
            const auto& e = source[static_cast<std::size_t>(i)];
            library.Append(std::make_unique<patchferry::ProgramEntry>(e.BankLetter(), e.Number(),
                                                                      e.Image(), e.FileLabel()));
        }
        state.ResumeTiming();
        library.SortByColumn(column);
        // The entry's address, a value: newer Google Benchmark deprecates DoNotOptimize on a
        // const reference, which library[0] is.
        benchmark::DoNotOptimize(&library[0]);
    }
    state.SetLabel("12800 entries");
}
BENCHMARK(BM_SortByColumn)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Open of 100 full banks (12,800 programs) through OpenSyxFiles, a column sort and a refill of the
// list, and the start-up to the first painted window; all on the offscreen platform.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <fstream>

#include "app/list/ListNotifyEvent.h"
#include "support/FrameHarness.h"

using namespace patchferry;
using namespace patchferry::testing;

namespace {

constexpr int kBanks = 100;

QStringList WriteBanks(const FrameHarness& harness) {
    QStringList paths;
    const auto dump = MakeBankDump();
    for (int i = 0; i < kBanks; ++i) {
        paths << harness.WriteFile("bank" + std::to_string(i) + ".syx", dump);
    }
    return paths;
}

double ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0.0;
}

void BM_Open12800(benchmark::State& state) {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    const QStringList paths = WriteBanks(harness);
    for (auto _ : state) {
        harness.Open(paths);
        QCoreApplication::processEvents();
    }
    state.counters["programs"] = frame.Library().Count();
    state.counters["rss_MB"] = ResidentMegabytes();
}
BENCHMARK(BM_Open12800)->Unit(benchmark::kMillisecond);

void BM_SortByProgram12800(benchmark::State& state) {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    harness.Open(WriteBanks(harness));
    int column = 3;
    for (auto _ : state) {
        // Alternate the key so every run really reorders.
        QCoreApplication::postEvent(&frame, new ListNotifyEvent(2, column));
        QCoreApplication::sendPostedEvents(&frame);
        column = column == 3 ? 1 : 3;
    }
}
BENCHMARK(BM_SortByProgram12800)->Unit(benchmark::kMillisecond);

void BM_FillProgramList12800(benchmark::State& state) {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    harness.Open(WriteBanks(harness));
    for (auto _ : state) {
        frame.FillProgramList();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FillProgramList12800)->Unit(benchmark::kMillisecond);

void BM_StartUpToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        FrameHarness harness;
        CMainFrame& frame = harness.Start();
        frame.repaint();
        benchmark::DoNotOptimize(frame.isVisible());
        state.PauseTiming();
        harness.Close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

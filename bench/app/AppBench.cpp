// Open of 100 full banks (12,800 programs) through OpenSyxFiles, a column sort and a refill of the
// list, the start-up to the first painted window, and a bank received from an MS2000 from the
// press of Receive to the list showing it, and an Audition with and without the Radias's answer;
// all on the offscreen platform.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <fstream>
#include <thread>

#include "app/ReceiveDialog.h"
#include "app/list/ListNotifyEvent.h"
#include "midi/alsa/SysExPacing.h"
#include "support/FrameHarness.h"
#include "synth/Ms2kRequests.h"

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

// The fake interface delivers the whole answer at once, so this is what the window adds to the
// answer's time on the cable: the dialog's polls of the input, the receiver, the reader, the
// conversions and the list. The dialog looks at the input every 50 ms, which bounds the wait for
// the last piece.
void BM_ReceiveBankInWindow(benchmark::State& state) {
    FrameHarness harness;
    harness.midi.SetDevices({{"UM-ONE", true, "24:0"}});
    auto store = harness.Store();
    store->setValue("midi/port", "UM-ONE");
    store->setValue("midi/chan", 2);  // channel 3, the bank's
    store->sync();
    CMainFrame& frame = harness.Start();
    const auto bank = InPieces(MakeBankDump(2));
    harness.midi.SetResponder([&bank](std::span<const std::uint8_t>) {
        return std::vector<std::vector<std::uint8_t>>(bank);
    });
    std::chrono::duration<double> spent{};
    for (auto _ : state) {
        std::chrono::steady_clock::time_point pressed;
        QTimer::singleShot(0, [&pressed] {
            auto* dialog = qobject_cast<ReceiveDialog*>(QApplication::activeModalWidget());
            if (dialog != nullptr) {
                dialog->AllButton()->click();
                pressed = std::chrono::steady_clock::now();
                dialog->ReceiveButton()->click();
            }
        });
        frame.OnReceive();
        const auto listed = std::chrono::steady_clock::now();
        if (frame.Library().Count() != 128 || !harness.boxes.shown.empty()) {
            state.SkipWithError("the bank was not listed");
            return;
        }
        spent += listed - pressed;
        state.SetIterationTime(std::chrono::duration<double>(listed - pressed).count());
        harness.midi.ClearRecord();
    }
    const auto cable =
        midi::alsa::SysExTransmissionTime(synth::AnswerSize(synth::ReceiveWhat::AllPrograms));
    state.counters["share_of_cable_%"] = 100.0 * spent.count() /
                                         static_cast<double>(state.iterations()) /
                                         std::chrono::duration<double>(cable).count();
}
BENCHMARK(BM_ReceiveBankInWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

// An Audition from the call to the window being back (the fake takes the dump at once), without
// an input beside the port (Arg 0) and with one (Arg 1); with one, also the time from the Radias's
// answer arriving to the status bar showing it.
void BM_Audition(benchmark::State& state) {
    const bool withInput = state.range(0) != 0;
    FrameHarness harness;
    harness.midi.SetDevices({{"USB MIDI", true, "", withInput}});
    CMainFrame& frame = harness.Start();
    harness.Open({harness.WriteFile("bank.syx", MakeBankDump())});
    frame.ChannelList()->setCurrentIndex(0);
    frame.ActiveBox()->click();
    harness.SelectRows({2});
    const std::vector<std::uint8_t> taken{0xF0, 0x42, 0x30, 0x72, 0x23, 0xF7};
    std::chrono::duration<double> shown{};
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        frame.OnAudition();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        if (!withInput) {
            continue;
        }
        // The answer comes once the dump can have crossed the cable.
        std::this_thread::sleep_until(started + midi::alsa::SysExTransmissionTime(2052));
        const auto answered = std::chrono::steady_clock::now();
        harness.midi.Arrive({taken});
        while (frame.ListeningForAudition()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        shown += std::chrono::steady_clock::now() - answered;
        if (!frame.MessagePane()->text().endsWith("the Radias took it")) {
            state.SkipWithError("the answer was not shown");
            return;
        }
    }
    state.counters["sent"] = static_cast<double>(harness.midi.SentMessages().size());
    if (withInput) {
        state.counters["answer_to_status_ms"] =
            1000.0 * shown.count() / static_cast<double>(state.iterations());
    }
}
BENCHMARK(BM_Audition)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

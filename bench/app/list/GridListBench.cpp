// Filling and painting the program list at the sizes a large Open produces.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QColor>
#include <QPixmap>
#include <QString>
#include <array>

#include "app/list/GridListCtrl.h"

namespace {

const QColor kText(0x00, 0x40, 0x80);
const QColor kBackground(0xC1, 0xC1, 0xFF);
constexpr int kColumns = 6;

void AddProgramColumns(patchferry::GridListCtrl& list) {
    list.SetColours(kText, kBackground);
    const std::array<const char*, kColumns> titles{"File",    "Bank",     "#",
                                                   "Program", "Category", "Conversion Info"};
    for (const char* title : titles) {
        list.AddColumn(title, 0, 80);
    }
}

void Fill(patchferry::GridListCtrl& list, int rows, bool suspend) {
    list.RemoveAllRows();
    if (suspend) {
        list.SetRedraw(false);
    }
    list.AddRows(rows);
    const QString text = QStringLiteral(" Approximate [Osc1 Wave|Filter Type]");
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            list.SetCell(r, c, 0, kText, kBackground, text);
        }
    }
    if (suspend) {
        list.SetRedraw(true);
    }
}

// A whole fill of a shown list, including the layout and paint it causes.
void BM_FillShownList(benchmark::State& state, bool suspend) {
    const int rows = static_cast<int>(state.range(0));
    patchferry::GridListCtrl list;
    AddProgramColumns(list);
    list.resize(800, 600);
    list.show();
    QApplication::processEvents();
    for (auto _ : state) {
        Fill(list, rows, suspend);
        QApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * rows * kColumns);
}

void BM_FillSuspended(benchmark::State& state) {
    BM_FillShownList(state, true);
}
void BM_FillUnsuspended(benchmark::State& state) {
    BM_FillShownList(state, false);
}

// One full repaint of a screen of rows.
void BM_PaintScreen(benchmark::State& state) {
    patchferry::GridListCtrl list;
    AddProgramColumns(list);
    Fill(list, 128, true);
    list.resize(800, 600);
    list.show();
    QApplication::processEvents();
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.viewport()->grab());
    }
}

}  // namespace

BENCHMARK(BM_FillSuspended)->Arg(128)->Arg(12800)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillUnsuspended)->Arg(128)->Arg(12800)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintScreen)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

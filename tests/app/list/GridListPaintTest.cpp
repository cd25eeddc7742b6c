// The list's own painting, checked on grabbed pixels of the offscreen platform.
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QtTest>
#include <memory>

#include "app/list/GridCell.h"
#include "app/list/GridListCtrl.h"

using patchferry::CellAlignment;
using patchferry::GridListCtrl;
using patchferry::TextReferenceX;

namespace {

const QColor kText(0x00, 0x40, 0x80);
const QColor kBackground(0xC1, 0xC1, 0xFF);
const QColor kMarked(0x80, 0x80, 0xFF);

// Columns: File 0 px (hidden until widened), A 50 px left-aligned, B 60 px right-aligned.
constexpr int kWidthA = 50;
constexpr int kWidthB = 60;

std::unique_ptr<GridListCtrl> MakeList(int rows) {
    auto list = std::make_unique<GridListCtrl>();
    list->SetColours(kText, kBackground);
    list->AddColumn("File", 1, 0);
    list->AddColumn("A", 0, kWidthA);
    list->AddColumn("B", 2, kWidthB);
    list->AddRows(rows);
    list->resize(320, 240);
    return list;
}

// Shown without a focus row: a focused list gives its first row the focus, drawn highlighted.
bool ShowPlain(GridListCtrl& list) {
    list.show();
    if (!QTest::qWaitForWindowExposed(&list)) {
        return false;
    }
    list.clearFocus();
    list.selectionModel()->clearCurrentIndex();
    return true;
}

QImage Grab(GridListCtrl& list) {
    return list.viewport()->grab().toImage();
}

QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

struct RowSpan {
    int top;
    int bottom;  // exclusive
};

RowSpan Row(const GridListCtrl& list, int row) {
    const QRect rect = list.visualRect(list.model()->index(row, 1));
    return {rect.top(), rect.top() + rect.height()};
}

// The horizontal extent of pixels in a row band that differ from `paper`, or {-1, -1}.
std::pair<int, int> InkSpan(const QImage& image, int x0, int x1, RowSpan row, QColor paper) {
    int first = -1;
    int last = -1;
    for (int x = x0; x < x1; ++x) {
        for (int y = row.top; y < row.bottom - 1; ++y) {
            if (At(image, x, y) != paper) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

}  // namespace

class GridListPaintTest : public QObject {
    Q_OBJECT

  private slots:
    void emptyListIsAllBackground() {
        auto list = MakeList(0);
        list->show();
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        const QImage image = Grab(*list);
        QVERIFY(!image.isNull());
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (At(image, x, y) != kBackground) {
                    QFAIL(qPrintable(
                        QString("pixel %1,%2 is %3").arg(x).arg(y).arg(At(image, x, y).name())));
                }
            }
        }
    }

    void cellsCarryGridLinesTheirColoursAndBackgroundAroundThem() {
        auto list = MakeList(2);
        list->SetCell(0, 2, 2, kText, kMarked, "");
        QVERIFY(ShowPlain(*list));
        const QImage image = Grab(*list);
        const RowSpan row0 = Row(*list, 0);
        const RowSpan row1 = Row(*list, 1);
        QVERIFY(row0.bottom - row0.top > 4);
        QCOMPARE(row1.top, row0.bottom);

        const int rightA = kWidthA - 1;
        const int rightB = kWidthA + kWidthB - 1;
        // Bottom line across the whole cell, right line up to the row's top.
        for (int x = 0; x <= rightB; ++x) {
            QCOMPARE(At(image, x, row0.bottom - 1), kText);
        }
        for (int y = row0.top; y < row0.bottom; ++y) {
            QCOMPARE(At(image, rightA, y), kText);
            QCOMPARE(At(image, rightB, y), kText);
        }
        // Inside the lines each cell has its own background.
        QCOMPARE(At(image, 10, row0.top), kBackground);
        QCOMPARE(At(image, rightA - 1, row0.bottom - 2), kBackground);
        QCOMPARE(At(image, rightA + 1, row0.top), kMarked);
        QCOMPARE(At(image, rightB - 1, row0.bottom - 2), kMarked);
        QCOMPARE(At(image, rightA + 1, row1.top + 1), kBackground);
        // Right of the columns and below the last row: the list's background, no grid.
        QCOMPARE(At(image, rightB + 1, row0.bottom - 1), kBackground);
        QCOMPARE(At(image, image.width() - 1, row0.top), kBackground);
        QCOMPARE(At(image, 10, row1.bottom), kBackground);
        QCOMPARE(At(image, rightA, row1.bottom + 1), kBackground);
    }

    void selectedAndFocusedRowsSwapTheirColours() {
        auto list = MakeList(4);
        for (int r = 0; r < 4; ++r) {
            list->SetCell(r, 1, 0, kText, kBackground, "");
            list->SetCell(r, 2, 2, kText, kMarked, "");
        }
        list->show();
        list->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(list.get()));
        list->setFocus();
        QVERIFY(list->hasFocus());
        list->selectionModel()->select(list->model()->index(1, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list->selectionModel()->setCurrentIndex(list->model()->index(2, 0),
                                                QItemSelectionModel::NoUpdate);
        QCOMPARE(list->FirstSelectedRow(), 1);
        const QImage image = Grab(*list);

        const int insideA = 10;
        const int insideB = kWidthA + 10;
        const RowSpan plain = Row(*list, 0);
        QCOMPARE(At(image, insideA, plain.top + 1), kBackground);
        QCOMPARE(At(image, insideB, plain.top + 1), kMarked);
        for (const int r : {1, 2}) {  // selected; focused but not selected
            const RowSpan row = Row(*list, r);
            QCOMPARE(At(image, insideA, row.top + 1), kText);
            QCOMPARE(At(image, insideB, row.top + 1), kText);
            QCOMPARE(At(image, kWidthA - 1, row.top + 1), kText);
        }
        QCOMPARE(At(image, insideA, Row(*list, 3).top + 1), kBackground);

        // Without the focus the current row is drawn like any other.
        list->clearFocus();
        QVERIFY(!list->hasFocus());
        const QImage unfocused = Grab(*list);
        QCOMPARE(At(unfocused, insideA, Row(*list, 2).top + 1), kBackground);
        QCOMPARE(At(unfocused, insideA, Row(*list, 1).top + 1), kText);
    }

    void gainingTheFocusHighlightsNoRowUntilTheUserMoves() {
        auto list = MakeList(3);
        list->show();
        list->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(list.get()));
        list->setFocus();
        QVERIFY(list->hasFocus());
        QVERIFY(!list->currentIndex().isValid());
        QCOMPARE(At(Grab(*list), 10, Row(*list, 0).top + 1), kBackground);

        QTest::keyClick(list.get(), Qt::Key_Down);
        QCOMPARE(list->currentIndex().row(), 0);
        QCOMPARE(list->FirstSelectedRow(), 0);
        QCOMPARE(At(Grab(*list), 10, Row(*list, 0).top + 1), kText);
    }

    void textSitsAtItsReferencePoint() {
        auto list = MakeList(3);
        list->SetCell(0, 1, 0, kText, kBackground, "WW");
        list->SetCell(1, 2, 2, kText, kBackground, "WW");
        list->SetCell(2, 2, 1, kText, kBackground, "WW");
        QVERIFY(ShowPlain(*list));
        const QImage image = Grab(*list);
        const int textWidth = QFontMetrics(list->font()).horizontalAdvance("WW");
        QVERIFY(textWidth > 4);

        const auto left = InkSpan(image, 0, kWidthA - 1, Row(*list, 0), kBackground);
        QVERIFY(left.first >= 2 && left.first <= 4);
        const int innerRightB = kWidthA + kWidthB - 1;
        const auto right = InkSpan(image, kWidthA, innerRightB, Row(*list, 1), kBackground);
        QVERIFY(right.second < innerRightB - 2 && right.second >= innerRightB - 5);
        const auto centre = InkSpan(image, kWidthA, innerRightB, Row(*list, 2), kBackground);
        const int middle = (centre.first + centre.second) / 2;
        const int reference = kWidthA + (innerRightB - kWidthA) / 2;
        QVERIFY2(std::abs(middle - reference) <= 2, qPrintable(QString::number(middle)));
    }

    void referencePointOfNarrowAndWideCells() {
        // Cells given with the right edge already reduced by the grid line.
        QCOMPARE(TextReferenceX(CellAlignment::Left, 10, 60), 12);
        QCOMPARE(TextReferenceX(CellAlignment::Right, 10, 60), 58);
        QCOMPARE(TextReferenceX(CellAlignment::Centre, 10, 60), 35);
        QCOMPARE(TextReferenceX(CellAlignment::Centre, 10, 13), 11);
        // Column width 0 (reduced right 9) and 1 (reduced right 10): no middle, so left + 2.
        QCOMPARE(TextReferenceX(CellAlignment::Centre, 10, 9), 12);
        QCOMPARE(TextReferenceX(CellAlignment::Centre, 10, 10), 12);
        QCOMPARE(patchferry::TextStartX(CellAlignment::Centre, 35, 11), 30);
        QCOMPARE(patchferry::TextStartX(CellAlignment::Right, 58, 11), 47);
    }

    void rowsFollowAHeaderDividerDraggedOpen() {
        auto list = MakeList(1);
        list->SetCell(0, 0, 1, kText, kMarked, "");
        QVERIFY(ShowPlain(*list));
        list->header()->resizeSection(0, 30);
        const QImage image = Grab(*list);
        const RowSpan row = Row(*list, 0);
        QCOMPARE(At(image, 29, row.top + 1), kText);  // File's right line
        QCOMPARE(At(image, 10, row.top + 1), kMarked);
        QCOMPARE(At(image, 30 + kWidthA - 1, row.top + 1), kText);
        QCOMPARE(At(image, kWidthA - 1, row.top + 1), kBackground);  // old line gone
        QCOMPARE(At(image, 30 + kWidthA + kWidthB, row.top + 1), kBackground);
    }

    void horizontalScrollingMovesTheCells() {
        auto list = MakeList(1);
        list->AddColumn("Wide", 0, 400);
        list->SetCell(0, 3, 0, kText, kMarked, "");
        list->resize(200, 120);
        QVERIFY(ShowPlain(*list));
        list->horizontalScrollBar()->setValue(30);
        QCOMPARE(list->header()->offset(), 30);
        const QImage image = Grab(*list);
        const RowSpan row = Row(*list, 0);
        QCOMPARE(At(image, kWidthA - 1 - 30, row.top + 1), kText);
        QCOMPARE(At(image, kWidthA + kWidthB - 1 - 30, row.top + 1), kText);
        QCOMPARE(At(image, kWidthA + kWidthB - 30 + 5, row.top + 1), kMarked);
    }
};

QTEST_MAIN(GridListPaintTest)
#include "GridListPaintTest.moc"

// The list's cell table: what the fill writes, what it ignores, selection and suspended redraw.
#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>

#include "app/list/GridListCtrl.h"

using patchferry::CellAlignment;
using patchferry::GridListCtrl;

namespace {
const QColor kText(0x00, 0x40, 0x80);
const QColor kBackground(0xC1, 0xC1, 0xFF);
const QColor kMarked(0x80, 0x80, 0xFF);
}  // namespace

class GridListTableTest : public QObject {
    Q_OBJECT

  private slots:
    void newRowsTakeTheListColoursAndOutOfRangeWritesAreIgnored() {
        GridListCtrl list;
        list.SetColours(kText, kBackground);
        list.AddColumn("Bank", 1, 30);
        list.AddColumn("Program", 0, 80);
        list.AddRows(3);
        QCOMPARE(list.RowCount(), 3);
        QCOMPARE(list.ColumnCount(), 2);

        const GridListCtrl::Cell* blank = list.CellAt(2, 1);
        QVERIFY(blank != nullptr);
        QVERIFY(blank->text.isEmpty());
        QCOMPARE(blank->alignment, CellAlignment::Left);
        QCOMPARE(blank->textColour, kText);
        QCOMPARE(blank->backgroundColour, kBackground);

        list.SetCell(1, 0, 1, kText, kMarked, "A");
        const GridListCtrl::Cell* cell = list.CellAt(1, 0);
        QCOMPARE(cell->text, QString("A"));
        QCOMPARE(cell->alignment, CellAlignment::Centre);
        QCOMPARE(cell->backgroundColour, kMarked);
        list.SetCell(2, 1, 2, kText, kBackground, "right");
        QCOMPARE(list.CellAt(2, 1)->alignment, CellAlignment::Right);

        // Outside the table nothing is written and nothing else changes.
        list.SetCell(3, 0, 0, kText, kMarked, "x");
        list.SetCell(0, 2, 0, kText, kMarked, "x");
        list.SetCell(-1, 0, 0, kText, kMarked, "x");
        list.SetCell(0, -1, 0, kText, kMarked, "x");
        QVERIFY(list.CellAt(3, 0) == nullptr);
        QVERIFY(list.CellAt(0, 2) == nullptr);
        QVERIFY(list.CellAt(0, 0)->text.isEmpty());
        QCOMPARE(list.RowCount(), 3);

        list.SetColumnWidth(2, 99);
        list.SetColumnWidth(-1, 99);
        QCOMPARE(list.StoredColumnWidth(0), 30);
        QCOMPARE(list.StoredColumnWidth(1), 80);
        QCOMPARE(list.header()->count(), 2);

        // Header titles are aligned like their column's code.
        const auto alignment = [&list](int column) {
            return list.model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                   Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignment(0), Qt::Alignment(Qt::AlignHCenter).toInt());
        QCOMPARE(alignment(1), Qt::Alignment(Qt::AlignLeft).toInt());
        QCOMPARE(list.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("Program"));
    }

    void removeAllRowsKeepsColumnsAndWidths() {
        GridListCtrl list;
        list.AddColumn("File", 1, 0);
        list.AddColumn("Bank", 1, 40);
        list.AddRows(5);
        list.SetCell(4, 1, 1, kText, kBackground, "H");
        list.selectionModel()->select(list.model()->index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list.RemoveAllRows();
        QCOMPARE(list.RowCount(), 0);
        QCOMPARE(list.model()->rowCount(), 0);
        QVERIFY(list.CellAt(0, 0) == nullptr);
        QCOMPARE(list.FirstSelectedRow(), -1);
        QCOMPARE(list.ColumnCount(), 2);
        QCOMPARE(list.header()->sectionSize(1), 40);
        QCOMPARE(list.header()->sectionSize(0), 0);

        list.AddRows(2);
        QCOMPARE(list.RowCount(), 2);
        QVERIFY(list.CellAt(1, 1)->text.isEmpty());
    }

    void columnWidthsFollowTheHeaderAndAZeroWidthColumnStaysAColumn() {
        GridListCtrl list;
        list.AddColumn("File", 1, 0);
        list.AddColumn("Bank", 1, 40);
        QCOMPARE(list.header()->sectionSize(0), 0);
        QVERIFY(!list.header()->isSectionHidden(0));
        QCOMPARE(list.header()->minimumSectionSize(), 0);
        QVERIFY(!list.header()->stretchLastSection());

        // The user dragging a divider is a header resize; the row painting must follow it.
        list.header()->resizeSection(0, 55);
        QCOMPARE(list.StoredColumnWidth(0), 55);
        list.SetColumnWidth(1, 70);
        QCOMPARE(list.header()->sectionSize(1), 70);
        list.SetColumnWidth(0, 0);
        QCOMPARE(list.header()->sectionSize(0), 0);
        QCOMPARE(list.StoredColumnWidth(0), 0);
    }

    void aColumnAddedAfterRowsGivesEveryRowACell() {
        GridListCtrl list;
        list.AddColumn("Bank", 1, 40);
        list.AddRows(2);
        list.AddColumn("Program", 0, 80);
        QVERIFY(list.CellAt(1, 1) != nullptr);
        list.SetCell(1, 1, 0, kText, kBackground, " Pad");
        QCOMPARE(list.CellAt(1, 1)->text, QString(" Pad"));
    }

    void firstSelectedRowIsTheLowestOfSeveral() {
        GridListCtrl list;
        list.AddColumn("Bank", 1, 40);
        list.AddRows(10);
        QCOMPARE(list.FirstSelectedRow(), -1);
        QCOMPARE(list.selectionMode(), QAbstractItemView::ExtendedSelection);
        for (const int row : {7, 3, 5}) {
            list.selectionModel()->select(list.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        QCOMPARE(list.FirstSelectedRow(), 3);
        list.selectionModel()->select(list.model()->index(3, 0),
                                      QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        QCOMPARE(list.FirstSelectedRow(), 5);
    }

    void textWidthMeasuresTheSampleWithAMargin() {
        GridListCtrl list;
        const QFontMetrics metrics(list.font());
        QCOMPARE(list.TextWidth("Bank"), metrics.horizontalAdvance("BankXX"));
        QVERIFY(list.TextWidth("128  ") > list.TextWidth("128"));
        QCOMPARE(list.TextWidth(""), metrics.horizontalAdvance("XX"));
    }

    void suspendedRedrawHoldsCellSignalsUntilOneUpdate() {
        GridListCtrl list;
        for (int c = 0; c < 6; ++c) {
            list.AddColumn(QString::number(c), 0, 40);
        }
        QSignalSpy changed(list.model(), &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);
        list.SetRedraw(false);
        list.AddRows(12800);
        QCOMPARE(inserted.count(), 1);
        for (int r = 0; r < 12800; ++r) {
            for (int c = 0; c < 6; ++c) {
                list.SetCell(r, c, 0, kText, kBackground, "cell");
            }
        }
        QCOMPARE(changed.count(), 0);
        QVERIFY(!list.updatesEnabled());
        list.SetRedraw(true);
        QVERIFY(list.updatesEnabled());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(list.CellAt(12799, 5)->text, QString("cell"));

        // Outside a fill each write reports its own cell so the view repaints it.
        list.SetCell(0, 0, 0, kText, kMarked, "x");
        QCOMPARE(changed.count(), 2);
        const auto args = changed.last();
        QCOMPARE(args.at(0).toModelIndex(), list.model()->index(0, 0));
    }
};

QTEST_MAIN(GridListTableTest)
#include "GridListTableTest.moc"

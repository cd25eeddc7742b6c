// The program list's reports to its window, and the keys it leaves to the window.
#include <QAction>
#include <QHeaderView>
#include <QVBoxLayout>
#include <QtTest>
#include <vector>

#include "app/list/ListNotifyEvent.h"
#include "app/list/ProgramListView.h"
#include "app/list/VirtualKey.h"

using patchferry::ListNotifyEvent;
using patchferry::ProgramListView;

namespace {

// A top-level window that records the list notifications it receives.
class RecordingWindow : public QWidget {
  public:
    RecordingWindow() : list(new ProgramListView(this)) {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(list);
        list->SetColours(QColor(0x00, 0x40, 0x80), QColor(0xC1, 0xC1, 0xFF));
        const char* titles[] = {"File", "Bank", "#", "Program", "Category", "Conversion Info"};
        for (const char* title : titles) {
            list->AddColumn(title, 0, 40);
        }
        list->AddRows(3);
        resize(400, 300);
    }

    bool event(QEvent* event) override {
        if (event->type() == ListNotifyEvent::EventType()) {
            const auto* notify = static_cast<ListNotifyEvent*>(event);
            received.emplace_back(notify->Code(), notify->Param());
            return true;
        }
        return QWidget::event(event);
    }

    ProgramListView* list;
    std::vector<std::pair<int, int>> received;
};

using Reports = std::vector<std::pair<int, int>>;

}  // namespace

class ProgramListViewTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        window_ = std::make_unique<RecordingWindow>();
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        window_->list->setFocus();
    }

    void cleanup() { window_.reset(); }

    void doubleClicksArePostedOnARowAndBelowTheRows() {
        ProgramListView* list = window_->list;
        const QRect row = list->visualRect(list->model()->index(1, 1));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QVERIFY(window_->received.empty());  // posted, not yet delivered
        QCoreApplication::sendPostedEvents(window_.get());
        QCOMPARE(window_->received, (Reports{{1, 0}}));

        const QRect last = list->visualRect(list->model()->index(2, 1));
        QVERIFY(last.bottom() + 20 < list->viewport()->height());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                           QPoint(last.center().x(), last.bottom() + 20));
        QCoreApplication::sendPostedEvents(window_.get());
        QCOMPARE(window_->received, (Reports{{1, 0}, {1, 0}}));
    }

    void onlyTheLeftButtonsDoubleClickIsReported() {
        ProgramListView* list = window_->list;
        const QPoint row = list->visualRect(list->model()->index(1, 1)).center();
        QTest::mouseDClick(list->viewport(), Qt::RightButton, {}, row);
        QTest::mouseDClick(list->viewport(), Qt::MiddleButton, {}, row);
        QCoreApplication::sendPostedEvents(window_.get());
        QVERIFY(window_->received.empty());
        QCOMPARE(list->FirstSelectedRow(), 1);  // they select, as their single clicks do
    }

    void headerClickReportsTheColumn() {
        QHeaderView* header = window_->list->header();
        const QPoint centre(header->sectionViewportPosition(5) + header->sectionSize(5) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
        QVERIFY(window_->received.empty());
        QCoreApplication::sendPostedEvents(window_.get());
        QCOMPARE(window_->received, (Reports{{2, 5}}));
    }

    void keysAreReportedAsVirtualKeysAndArrowsStillMove() {
        ProgramListView* list = window_->list;
        list->setCurrentIndex(list->model()->index(0, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Q);
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(window_->received.empty());
        QCoreApplication::sendPostedEvents(window_.get());
        QCOMPARE(window_->received, (Reports{{3, 13}, {3, 13}, {3, 40}, {3, 'Q'}, {3, 27}}));
        QCOMPARE(list->currentIndex().row(), 1);
        QCOMPARE(list->FirstSelectedRow(), 1);
    }

    void qtKeysMapToWindowsVirtualKeys() {
        using patchferry::VirtualKeyFromQtKey;
        const Qt::KeyboardModifiers none;
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_A, none), 0x41);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_Z, Qt::ShiftModifier), 0x5A);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_7, none), 0x37);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_7, Qt::KeypadModifier), 0x67);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_Enter, Qt::KeypadModifier), 13);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_Left, none), 37);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_Up, Qt::KeypadModifier), 38);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_Down, none), 40);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_Delete, none), 46);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_F1, none), 0x70);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_F12, none), 0x7B);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_Exclam, Qt::ShiftModifier), '1');
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_Minus, none), 0xBD);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_Minus, Qt::KeypadModifier), 0x6D);
        QCOMPARE(VirtualKeyFromQtKey(Qt::Key_unknown, none), 0);
    }

    void ctrlAIsLeftToTheWindow() {
        int triggered = 0;
        auto* audition = new QAction("Audition", window_.get());
        audition->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
        window_->addAction(audition);
        connect(audition, &QAction::triggered, [&triggered] { ++triggered; });
        ProgramListView* list = window_->list;
        QVERIFY(list->hasFocus());

        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(triggered, 1);
        QVERIFY(list->selectionModel()->selectedRows().size() < list->RowCount());

        // With no window command either, the list still does not select everything.
        window_->removeAction(audition);
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(triggered, 1);
        QVERIFY(list->selectionModel()->selectedRows().size() < list->RowCount());
    }

  private:
    std::unique_ptr<RecordingWindow> window_;
};

QTEST_MAIN(ProgramListViewTest)
#include "ProgramListViewTest.moc"

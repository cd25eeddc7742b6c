// Find: marking the programs whose name contains the typed text, through later Opens and sorts.

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "app/FindDialog.h"
#include "app/ListColours.h"
#include "app/list/ListNotifyEvent.h"
#include "app/list/ProgramListView.h"
#include "support/FrameHarness.h"

using namespace patchferry;
using namespace patchferry::testing;

namespace {

// Runs Find with `typed` entered in the dialog; `accept` false cancels it instead. Returns the
// text the field held when the dialog opened.
QString RunFind(CMainFrame& frame, const QString& typed, bool accept = true) {
    QString initial = "<no dialog>";
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<FindDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        initial = dialog->NameField()->text();
        QTest::keyClicks(dialog->NameField(), typed);
        if (accept) {
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    frame.Action(CommandId::Find)->trigger();
    return initial;
}

// The names of the marked rows, in list order.
QStringList Marked(CMainFrame& frame) {
    QStringList names;
    ProgramListView* list = frame.ProgramList();
    for (int row = 0; row < list->RowCount(); ++row) {
        const auto* cell = list->CellAt(row, static_cast<int>(ListColumn::Program));
        const QColor background = cell->backgroundColour;
        if (background == ListFoundBackgroundColour()) {
            names << cell->text.trimmed();
        } else if (background != ListBackgroundColour()) {
            names << "<wrong colour>";
        }
    }
    return names;
}

}  // namespace

class WindowFindTest : public QObject {
    Q_OBJECT
  private slots:
    void findMarksMatchingNamesThroughOpensAndSorts();
    void cancelAndEmptyText();
    void nameFieldTakesSixteenCharacters();
};

void WindowFindTest::findMarksMatchingNamesThroughOpensAndSorts() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    harness.Open({harness.WriteFile(
        "names.syx", NamedBankDump({"Lead 1", "BIG LEAD", "Mislead", "Bass", "Pad"}))});
    harness.SelectRows({3});

    QCOMPARE(RunFind(frame, "LEAD"), QString());
    QCOMPARE(frame.FindText(), std::string("lead"));
    QCOMPARE(Marked(frame), (QStringList{"Lead 1", "BIG LEAD", "Mislead"}));
    QCOMPARE(frame.ProgramList()->FirstSelectedRow(), -1);
    // Every cell of a marked row carries the colour, the text colour stays.
    const auto* bank = frame.ProgramList()->CellAt(1, static_cast<int>(ListColumn::Bank));
    QCOMPARE(bank->backgroundColour, ListFoundBackgroundColour());
    QCOMPARE(bank->textColour, ListTextColour());

    // The dialog opens empty each time; the marking follows the next Open and a sort.
    QCOMPARE(RunFind(frame, "pad"), QString());
    QCOMPARE(Marked(frame), (QStringList{"Pad"}));
    harness.Open({harness.WriteFile("more.syx", NamedBankDump({"Keypad", "Bass 2", "Padding"})),
                  harness.WriteFile("names2.syx", NamedBankDump({"Launchpad"}))});
    QCOMPARE(Marked(frame), (QStringList{"Keypad", "Padding", "Launchpad"}));
    QCoreApplication::postEvent(&frame,
                                new ListNotifyEvent(2, static_cast<int>(ListColumn::Program)));
    FrameHarness::Deliver();
    QCOMPARE(Marked(frame), (QStringList{"Keypad", "Launchpad", "Padding"}));
}

void WindowFindTest::cancelAndEmptyText() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    harness.Open({harness.WriteFile("names.syx", NamedBankDump({"Lead 1", "Bass"}))});
    RunFind(frame, "lead");
    harness.SelectRows({5});

    RunFind(frame, "bass", false);
    QCOMPARE(frame.FindText(), std::string("lead"));
    QCOMPARE(Marked(frame), (QStringList{"Lead 1"}));
    QCOMPARE(frame.ProgramList()->FirstSelectedRow(), 5);

    RunFind(frame, "");
    QCOMPARE(frame.FindText(), std::string());
    QVERIFY(Marked(frame).isEmpty());
}

void WindowFindTest::nameFieldTakesSixteenCharacters() {
    FindDialog dialog;
    QCOMPARE(dialog.windowTitle(), QString("Find"));
    QTest::keyClicks(dialog.NameField(), "abcdefghijklmnopq");
    QCOMPARE(dialog.Name(), QString("abcdefghijklmnop"));
}

QTEST_MAIN(WindowFindTest)
#include "WindowFindTest.moc"

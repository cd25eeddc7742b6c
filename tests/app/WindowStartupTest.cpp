// Start-up, the settings kept between runs, the commands and the keys of the main window.

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "app/AppTitle.h"
#include "app/list/ProgramListView.h"
#include "support/FrameHarness.h"

using namespace patchferry;
using namespace patchferry::testing;

namespace {

void SeedRect(FrameHarness& harness, int top, int left, int bottom, int right) {
    auto store = harness.Store();
    store->setValue("rect/top", top);
    store->setValue("rect/left", left);
    store->setValue("rect/bottom", bottom);
    store->setValue("rect/right", right);
}

QRect StoredRect(const FrameHarness& harness) {
    auto store = harness.Store();
    const int top = store->value("rect/top").toInt();
    const int left = store->value("rect/left").toInt();
    return QRect(left, top, store->value("rect/right").toInt() - left,
                 store->value("rect/bottom").toInt() - top);
}

// Runs `check` on the modal dialog that `trigger` opens, then closes it; false when none opened.
bool WithModalDialog(const std::function<void()>& trigger,
                     const std::function<void(QDialog&)>& check) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            seen = true;
            check(*dialog);
            dialog->reject();
        }
    });
    trigger();
    QCoreApplication::processEvents();
    return seen;
}

}  // namespace

class WindowStartupTest : public QObject {
    Q_OBJECT
  private slots:
    void firstStartWithAnEmptyStore();
    void storedRectangleIsRestoredAndSaved();
    void emptyRectangleIsIgnored_data();
    void emptyRectangleIsIgnored();
    void minimizedWindowKeepsTheStoredRectangle();
    void maximizedRectangleIsStoredAndReopensNormal();
    void workingFolderIsRestoredAndSaved();
    void commandsCarryTheirTextsKeysAndPrompts();
    void menusAreInOrder();
    void disabledCommandsCannotRunFromTheirKeys();
    void randomProgramAndEditKeysDoNothing();
    void viewCommandsToggleTheBars();
    void aboutBoxShowsTheVersion();
    void listTakesTheFocusWhenTheWindowIsActivatedAgain();
    void barsHaveNoContextMenuToHideThem();
};

void WindowStartupTest::firstStartWithAnEmptyStore() {
    FrameHarness harness;
    harness.midi.SetDevices({{"Synth", false}, {"USB MIDI 1", true}, {"USB MIDI 2", true}});
    const QString folderBefore = QDir::currentPath();
    CMainFrame& frame = harness.Start();

    QCOMPARE(frame.windowTitle(), AppTitle());
    QCOMPARE(frame.PortList()->currentText(), QString("USB MIDI 1"));
    QCOMPARE(frame.ChannelList()->currentText(), QString("01"));
    QCOMPARE(QDir::currentPath(), folderBefore);
    QVERIFY(!frame.ActiveBox()->isChecked());
    QCOMPARE(frame.MessagePane()->text(), QString("Ready"));
    QCOMPARE(frame.CountPane()->text(), QString("0000"));
    QCOMPARE(frame.MidiStatePane()->text(), QString("MIDI-OFF"));
    QVERIFY(!frame.Action(CommandId::Find)->isEnabled());
    QVERIFY(!frame.Action(CommandId::Audition)->isEnabled());
    QVERIFY(frame.Action(CommandId::Open)->isEnabled());
    QVERIFY(!frame.isMinimized() && !frame.isMaximized());
    QCOMPARE(frame.ProgramList()->ColumnCount(), 6);
}

void WindowStartupTest::storedRectangleIsRestoredAndSaved() {
    FrameHarness harness;
    SeedRect(harness, 50, 100, 450, 700);
    CMainFrame& frame = harness.Start();
    QCOMPARE(frame.frameGeometry(), QRect(100, 50, 600, 400));

    frame.setGeometry(QRect(120, 80, 640, 420));
    QCoreApplication::processEvents();
    const QRect outer = frame.frameGeometry();
    harness.Close();
    QCOMPARE(StoredRect(harness), outer);
}

void WindowStartupTest::emptyRectangleIsIgnored_data() {
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<int>("right");
    QTest::newRow("left equals right") << 50 << 100 << 450 << 100;
    QTest::newRow("top equals bottom") << 50 << 100 << 50 << 700;
}

void WindowStartupTest::emptyRectangleIsIgnored() {
    QSize defaultSize;
    {
        FrameHarness fresh;
        defaultSize = fresh.Start().size();
    }
    QFETCH(int, top);
    QFETCH(int, left);
    QFETCH(int, bottom);
    QFETCH(int, right);
    FrameHarness harness;
    SeedRect(harness, top, left, bottom, right);
    CMainFrame& frame = harness.Start();
    QCOMPARE(frame.size(), defaultSize);
    QVERIFY(frame.width() > 0 && frame.height() > 0);
}

void WindowStartupTest::minimizedWindowKeepsTheStoredRectangle() {
    FrameHarness harness;
    SeedRect(harness, 50, 100, 450, 700);
    CMainFrame& frame = harness.Start();
    frame.ChannelList()->setCurrentIndex(4);
    frame.setGeometry(QRect(10, 20, 300, 200));
    frame.showMinimized();
    QCoreApplication::processEvents();
    QVERIFY(frame.isMinimized());
    harness.Close();

    QCOMPARE(StoredRect(harness), QRect(100, 50, 600, 400));
    QCOMPARE(harness.Store()->value("midi/chan").toInt(), 4);
    QVERIFY(harness.Store()->contains("app/curdir"));
}

void WindowStartupTest::maximizedRectangleIsStoredAndReopensNormal() {
    FrameHarness harness;
    SeedRect(harness, 50, 100, 450, 700);
    CMainFrame& frame = harness.Start();
    frame.showMaximized();
    QVERIFY(QTest::qWaitFor([&frame] { return frame.isMaximized(); }));
    QCoreApplication::processEvents();
    const QRect maximized = frame.frameGeometry();
    harness.Close();
    QCOMPARE(StoredRect(harness), maximized);

    CMainFrame& again = harness.Start();
    QVERIFY(!again.isMaximized());
    QCOMPARE(again.frameGeometry(), maximized);
}

void WindowStartupTest::workingFolderIsRestoredAndSaved() {
    FrameHarness harness;
    const QString saved = QString::fromStdString(harness.Folder().Path().string());
    harness.Store()->setValue("app/curdir", saved);
    harness.Start();
    QCOMPARE(QDir(QDir::currentPath()).canonicalPath(), QDir(saved).canonicalPath());

    // The folder the next run should start in is the one current at exit.
    const QString other = QString::fromStdString((harness.Folder().Path() / "other").string());
    QVERIFY(QDir().mkpath(other));
    QDir::setCurrent(other);
    harness.Close();
    QCOMPARE(QDir(harness.Store()->value("app/curdir").toString()).canonicalPath(),
             QDir(other).canonicalPath());

    // A folder that has gone is ignored.
    harness.Store()->setValue("app/curdir", saved + "/gone");
    const QString before = QDir::currentPath();
    harness.Start();
    QCOMPARE(QDir::currentPath(), before);
}

void WindowStartupTest::commandsCarryTheirTextsKeysAndPrompts() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    QAction* open = frame.Action(CommandId::Open);
    QCOMPARE(open->text(), QString("O&pen Syx File(s)..."));
    QCOMPARE(open->shortcut(), QKeySequence("Ctrl+O"));
    QCOMPARE(open->statusTip(), QString("Open Syx Files"));
    QCOMPARE(open->toolTip(), QString("Open  (Ctrl-O)"));
    QCOMPARE(open->data().toInt(), 57601);

    QAction* audition = frame.Action(CommandId::Audition);
    QCOMPARE(audition->shortcut(), QKeySequence("Ctrl+A"));
    QCOMPARE(audition->statusTip(), QString("Convert/Audition Program via MIDI"));
    QCOMPARE(audition->toolTip(), QString("Convert/Audition Program  (Ctrl-A)"));
    QCOMPARE(frame.Action(CommandId::Find)->shortcut(), QKeySequence("Ctrl+F"));
    QCOMPARE(frame.Action(CommandId::RandomProgram)->shortcut(), QKeySequence("Ctrl+R"));
    QCOMPARE(frame.Action(CommandId::EditPaste)->shortcuts(),
             (QList<QKeySequence>{QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")}));

    const QList<QAction*> buttons = frame.ToolBar()->actions();
    QCOMPARE(buttons.size(), 4);
    QCOMPARE(buttons[0], open);
    QCOMPARE(buttons[1], frame.Action(CommandId::Find));
    QCOMPARE(buttons[2], audition);
    QCOMPARE(buttons[3], frame.Action(CommandId::About));
    // Each button shows a picture at the small and the large size: not a null pixmap, and not an
    // empty one either (the PNGs must have been found, read and drawn).
    for (QAction* button : buttons) {
        for (const int size : {16, 48}) {
            const QImage image = button->icon().pixmap(size, size).toImage();
            QVERIFY2(!image.isNull(), qPrintable(button->text()));
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
                }
            }
            QVERIFY2(opaque > size, qPrintable(button->text()));
        }
    }
    QVERIFY(!frame.windowIcon().pixmap(32, 32).isNull());
}

void WindowStartupTest::menusAreInOrder() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    QStringList titles;
    QStringList items;
    for (QAction* menu : frame.menuBar()->actions()) {
        titles << menu->text();
        for (QAction* item : menu->menu()->actions()) {
            items << (item->isSeparator() ? QString("-") : item->text());
        }
    }
    QCOMPARE(titles, (QStringList{"&File", "&View", "&Program", "&Help"}));
    QCOMPARE(items, (QStringList{"O&pen Syx File(s)...", "&Receive from MS2000...",
                                 "Save Received &As...", "-", "E&xit", "&Toolbar", "&Status Bar",
                                 "&Find...", "&Audition", "&Identify Synth...", "-",
                                 "&Write to Radias...", "Re&store Radias Backup...", "&About..."}));
}

void WindowStartupTest::disabledCommandsCannotRunFromTheirKeys() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    frame.ProgramList()->setFocus();
    const bool findOpened = WithModalDialog(
        [&] { QTest::keyClick(&frame, Qt::Key_F, Qt::ControlModifier); }, [](QDialog&) {});
    QVERIFY(!findOpened);

    harness.Open({harness.WriteFile("bank.syx", MakeBankDump())});
    QVERIFY(frame.Action(CommandId::Find)->isEnabled());
    QVERIFY(!frame.Action(CommandId::Audition)->isEnabled());
    // Ctrl+A belongs to Audition, disabled here: the list must not select all rows either.
    QTest::keyClick(frame.ProgramList(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(frame.ProgramList()->selectionModel()->selectedRows().size(), 0);
    const bool findNowOpens = WithModalDialog(
        [&] { QTest::keyClick(frame.ProgramList(), Qt::Key_F, Qt::ControlModifier); },
        [](QDialog& dialog) { QCOMPARE(dialog.windowTitle(), QString("Find")); });
    QVERIFY(findNowOpens);
}

void WindowStartupTest::randomProgramAndEditKeysDoNothing() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    harness.Open({harness.WriteFile("bank.syx", MakeBankDump())});
    harness.SelectRows({3});
    frame.ProgramList()->setFocus();
    QGuiApplication::clipboard()->setText("untouched");
    const QString title = frame.windowTitle();

    const std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
        {Qt::Key_R, Qt::ControlModifier},      {Qt::Key_C, Qt::ControlModifier},
        {Qt::Key_Insert, Qt::ControlModifier}, {Qt::Key_V, Qt::ControlModifier},
        {Qt::Key_Insert, Qt::ShiftModifier},   {Qt::Key_X, Qt::ControlModifier},
        {Qt::Key_Delete, Qt::ShiftModifier},   {Qt::Key_Z, Qt::ControlModifier},
        {Qt::Key_Backspace, Qt::AltModifier},  {Qt::Key_F6, Qt::NoModifier},
        {Qt::Key_F6, Qt::ShiftModifier},
    };
    for (const auto& [key, modifiers] : keys) {
        QTest::keyClick(frame.ProgramList(), key, modifiers);
        FrameHarness::Deliver();
    }
    QCOMPARE(frame.Library().Count(), 128);
    QCOMPARE(frame.ProgramList()->RowCount(), 128);
    QCOMPARE(frame.ProgramList()->FirstSelectedRow(), 3);
    QCOMPARE(frame.windowTitle(), title);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("untouched"));
    QVERIFY(harness.boxes.shown.empty());
}

void WindowStartupTest::viewCommandsToggleTheBars() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    QVERIFY(frame.Action(CommandId::ViewToolbar)->isChecked());
    frame.Action(CommandId::ViewToolbar)->trigger();
    QVERIFY(frame.ToolBar()->isHidden());
    QVERIFY(!frame.MidiBarBand()->isHidden());
    QVERIFY(!frame.Action(CommandId::ViewToolbar)->isChecked());
    frame.Action(CommandId::ViewStatusBar)->trigger();
    QVERIFY(frame.statusBar()->isHidden());
    QVERIFY(!frame.Action(CommandId::ViewStatusBar)->isChecked());
    frame.Action(CommandId::ViewToolbar)->trigger();
    QVERIFY(!frame.ToolBar()->isHidden());
    QVERIFY(frame.Action(CommandId::ViewToolbar)->isChecked());
}

void WindowStartupTest::aboutBoxShowsTheVersion() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    QStringList lines;
    const bool opened = WithModalDialog([&] { frame.Action(CommandId::About)->trigger(); },
                                        [&](QDialog& dialog) {
                                            for (auto* label : dialog.findChildren<QLabel*>()) {
                                                lines << label->text();
                                            }
                                            QCOMPARE(dialog.windowTitle(), QString("About"));
                                        });
    QVERIFY(opened);
    QVERIFY(lines.contains("Patchferry 0.5"));
}

void WindowStartupTest::listTakesTheFocusWhenTheWindowIsActivatedAgain() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    frame.ChannelList()->setFocus(Qt::MouseFocusReason);
    QVERIFY(frame.ChannelList()->hasFocus());

    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QVERIFY(frame.ProgramList()->hasFocus());
}

// A right-click on the MIDI bar or the toolbar offers nothing that could hide a bar.
void WindowStartupTest::barsHaveNoContextMenuToHideThem() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    for (QToolBar* band : {frame.MidiBarBand(), frame.ToolBar()}) {
        bool menuShown = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                menuShown = true;
                popup->close();
            }
        });
        const QPoint inside(2, band->height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, inside, band->mapToGlobal(inside));
        QCoreApplication::sendEvent(band, &event);
        QCoreApplication::processEvents();
        QVERIFY(!menuShown);
        QVERIFY(!band->isHidden());
        QVERIFY(!band->isFloatable());
    }
}

QTEST_MAIN(WindowStartupTest)
#include "WindowStartupTest.moc"

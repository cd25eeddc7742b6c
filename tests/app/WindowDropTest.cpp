// Files dropped on the window, and files named on the command line, open as if chosen in the
// Open dialog.

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "app/PatchferryApp.h"
#include "app/list/ProgramListView.h"
#include "support/FrameHarness.h"

using namespace patchferry;
using namespace patchferry::testing;

namespace {

bool Drop(CMainFrame& frame, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&frame, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&frame, &drop);
    return true;
}

int FileColumnWidth(CMainFrame& frame) {
    return frame.ProgramList()->header()->sectionSize(static_cast<int>(ListColumn::File));
}

}  // namespace

class WindowDropTest : public QObject {
    Q_OBJECT
  private slots:
    void droppedFilesOpenLikeChosenOnes();
    void anythingButLocalFilesIsIgnored();
    void commandLineFilesSkipLeftoverOptions();
    void relativeCommandLineNamesKeepTheStartFolder();
};

void WindowDropTest::droppedFilesOpenLikeChosenOnes() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    harness.Open({harness.WriteFile("old.syx", MakeBankDump())});

    const QString one = harness.WriteFile("one.syx", MakeBankDump());
    const QString bad = harness.WriteFile("bad.syx", {0x00, 0x01});
    const QString two = harness.WriteFile("My.Bank.syx", MakeBankDump());
    QVERIFY(Drop(frame,
                 {QUrl::fromLocalFile(one), QUrl::fromLocalFile(bad), QUrl::fromLocalFile(two)}));

    QCOMPARE(harness.dialog.Calls(), 1);  // only the first Open asked the dialog
    QCOMPARE(harness.boxes.shown.size(), std::size_t{1});
    QCOMPARE(harness.boxes.shown[0].text,
             QString("Failed to parse Syx file bad. File is not a valid Korg Syx File"));
    QCOMPARE(frame.Library().Count(), 256);  // the earlier Open's programs were cleared
    QCOMPARE(frame.FilesReadCount(), 2);
    QCOMPARE(frame.windowTitle(), QString("Patchferry"));
    QVERIFY(FileColumnWidth(frame) > 0);
    QCOMPARE(frame.ProgramList()->CellAt(128, 0)->text, QString(" My"));

    QVERIFY(Drop(frame, {QUrl::fromLocalFile(one)}));
    QCOMPARE(frame.windowTitle(), QString("Patchferry - [one.syx]"));
    QCOMPARE(FileColumnWidth(frame), 0);
}

void WindowDropTest::anythingButLocalFilesIsIgnored() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    harness.Open({harness.WriteFile("kept.syx", MakeBankDump())});
    QVERIFY(!Drop(frame, {QUrl("https://example.org/bank.syx")}));
    QVERIFY(!Drop(frame, {QUrl::fromLocalFile(harness.Folder().Path().string().c_str())}));
    QCOMPARE(frame.Library().Count(), 128);
    QCOMPARE(frame.windowTitle(), QString("Patchferry - [kept.syx]"));
    QVERIFY(harness.boxes.shown.empty());
}

void WindowDropTest::commandLineFilesSkipLeftoverOptions() {
    FrameHarness harness;
    CMainFrame& frame = harness.Start();
    const QString bank = harness.WriteFile("Desk.syx", MakeBankDump());
    const QDir start(QString::fromStdString(harness.Folder().Path().string()));
    const QStringList files =
        FilesFromArguments({"patchferry", "-style", bank, "missing.syx"}, start);
    QCOMPARE(files, (QStringList{bank, start.absoluteFilePath("missing.syx")}));
    frame.OpenFiles(files);
    QCOMPARE(frame.Library().Count(), 128);
    QCOMPARE(harness.boxes.shown.size(), std::size_t{1});
    QCOMPARE(harness.boxes.shown[0].text,
             QString("Failed to parse Syx file missing. Cannot open file"));
    frame.OpenFiles({});  // nothing named: nothing changes
    QCOMPARE(frame.Library().Count(), 128);
}

// "patchferry bank.syx" typed in the folder that holds it opens it, although the window then
// returns to the working folder the previous run left.
void WindowDropTest::relativeCommandLineNamesKeepTheStartFolder() {
    FrameHarness harness;
    const QString bank = harness.WriteFile("Here.syx", MakeBankDump());
    const QString elsewhere = QString::fromStdString((harness.Folder().Path() / "other").string());
    QVERIFY(QDir().mkpath(elsewhere));
    harness.Store()->setValue("app/curdir", elsewhere);
    QDir::setCurrent(QFileInfo(bank).absolutePath());

    const QStringList files = FilesFromArguments({"patchferry", "Here.syx"}, QDir::current());
    CMainFrame& frame = harness.Start();
    QCOMPARE(QDir::current().canonicalPath(), QDir(elsewhere).canonicalPath());
    frame.OpenFiles(files);
    QVERIFY(harness.boxes.shown.empty());
    QCOMPARE(frame.Library().Count(), 128);
    QCOMPARE(frame.windowTitle(), QString("Patchferry - [Here.syx]"));
}

QTEST_MAIN(WindowDropTest)
#include "WindowDropTest.moc"

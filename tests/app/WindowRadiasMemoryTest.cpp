// Write to Radias and Restore Radias Backup from the real window, against a Radias's memory
// behind the fake's interface: what is written where, the backup taken first, the one question,
// Cancel between programs, and what the dialogs say when nothing can be sent.

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/RadiasWriteDialog.h"
#include "convert/ProgramConverter.h"
#include "library/SyxFormat.h"
#include "support/FrameHarness.h"
#include "support/RadiasMemory.h"
#include "synth/RadiasProgramMessages.h"
#include "synth/RadiasWriteItems.h"

using namespace patchferry;
using namespace patchferry::testing;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr int kChannel = 2;  // Midi Chan 03

Bytes ReadFile(const QString& path) {
    std::ifstream in(std::filesystem::path(path.toStdString()), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct MemoryRig {
    explicit MemoryRig(bool withInterface = true) {
        if (withInterface) {
            harness.midi.SetDevices({{"USB MIDI", true, "", true}});
        }
        harness.midi.SetResponder(
            [this](std::span<const std::uint8_t> sent) { return radias.Answer(sent); });
        CMainFrame& frame = harness.Start();
        // Three files of one program each: the list shows them in this order.
        QStringList files;
        for (const char* name : {"Alpha", "Bravo", "Charlie"}) {
            files << harness.WriteFile(
                std::string(name) + ".syx",
                MakeDump(static_cast<std::uint8_t>(syx::DumpFunction::CurrentProgram),
                         {MakeImage(name)}));
        }
        harness.Open(files);
        folder = QFileInfo(files.front()).absolutePath() + QLatin1Char('/');
        frame.ChannelList()->setCurrentIndex(kChannel);
    }
    CMainFrame& Frame() { return harness.Frame(); }
    RadiasWriteDialog& OpenWrite() {
        Frame().Action(CommandId::WriteToRadias)->trigger();
        return *Frame().RadiasDialog();
    }
    // The program the window converts from list row `row`, as stored into `slot`.
    Bytes Converted(int row, int slot) {
        ProgramConverter converter(Frame().Library()[static_cast<std::size_t>(row)].Image());
        converter.Convert();
        const auto dump = synth::BuildStoredProgramDump(converter.Image(), slot, kChannel);
        return {dump.begin(), dump.end()};
    }
    // Lets the run go to its end, as the window's event loop does.
    static bool RunEnds(const RadiasWriteDialog& dialog) {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (dialog.Busy() && std::chrono::steady_clock::now() < deadline) {
            QTest::qWait(5);
        }
        return !dialog.Busy();
    }

    FrameHarness harness;
    RadiasMemory radias{kChannel};
    QString folder;  // the test's own, with a slash
};

}  // namespace

class WindowRadiasMemoryTest : public QObject {
    Q_OBJECT
  private slots:
    void everyProgramListedGoesIntoItsSlotAfterTheBackupAndOneQuestion();
    void cancelStopsBetweenProgramsAndRestorePutsTheBackupBack();
    void aRefusalOrAnUnsafeBackupNameChangesNothing();
    void withoutAnInterfaceTheDialogsSayWhatToConnect();
};

void WindowRadiasMemoryTest::everyProgramListedGoesIntoItsSlotAfterTheBackupAndOneQuestion() {
    MemoryRig rig;
    const Bytes before = rig.radias.Backup(126, 128);
    RadiasWriteDialog& dialog = rig.OpenWrite();
    dialog.ListedButton()->click();
    dialog.FirstSlot()->setCurrentIndex(126);  // H15: the run crosses into the second half
    const QString backup = rig.folder + QStringLiteral("before.syx");
    dialog.BackupPath()->setText(backup);
    rig.harness.boxes.answers = {true};
    dialog.StartButton()->click();
    // The window stays usable, but its interface belongs to the run.
    QVERIFY(dialog.Busy());
    rig.Frame().RefreshCommandUi();
    QVERIFY(rig.Frame().Action(CommandId::Find)->isEnabled());
    QVERIFY(!rig.Frame().Action(CommandId::Receive)->isEnabled());
    QVERIFY(MemoryRig::RunEnds(dialog));

    QCOMPARE(rig.Frame().Library()[0].Name(), std::string("Alpha"));
    QCOMPARE(rig.radias.Program(126), rig.Converted(0, 126));
    QCOMPARE(rig.radias.Program(127), rig.Converted(1, 127));
    QCOMPARE(rig.radias.Program(128), rig.Converted(2, 128));
    QCOMPARE(rig.radias.Program(129), RadiasMemory(kChannel).Program(129));
    QCOMPARE(ReadFile(backup), before);
    // One question, naming what is replaced (the names read from the Radias) and the backup.
    QCOMPARE(rig.harness.boxes.shown.size(), std::size_t{1});
    const QString question = rig.harness.boxes.shown[0].text;
    QVERIFY2(question.contains(QStringLiteral("Write 3 program(s) into H15..I01")) &&
                 question.contains(QString::fromStdString(
                     "H15 \"" + synth::StoredProgramName(RadiasMemory(kChannel).Program(126)))) &&
                 question.contains(QDir::toNativeSeparators(backup)),
             qPrintable(question));
    QVERIFY2(rig.Frame().MessagePane()->text().startsWith(
                 QStringLiteral("Wrote 3 programs into H15..I01 on channel 03")),
             qPrintable(rig.Frame().MessagePane()->text()));
    QCOMPARE(dialog.Progress()->value(), dialog.Progress()->maximum());
    // The next run gets a new backup name: the one saved is never written over.
    QVERIFY(dialog.BackupPath()->text() != QDir::toNativeSeparators(backup));
    rig.Frame().RefreshCommandUi();
    QVERIFY(rig.Frame().Action(CommandId::Receive)->isEnabled());
}

void WindowRadiasMemoryTest::cancelStopsBetweenProgramsAndRestorePutsTheBackupBack() {
    MemoryRig rig;
    const RadiasMemory seeded(kChannel);
    RadiasWriteDialog& dialog = rig.OpenWrite();
    dialog.ListedButton()->click();
    const QString backup = rig.folder + QStringLiteral("a01.syx");
    dialog.BackupPath()->setText(backup);
    rig.harness.boxes.answers = {true};
    dialog.StartButton()->click();
    // Cancel while the first program is on its way: it is finished, nothing after it is sent.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (rig.harness.boxes.shown.empty() && std::chrono::steady_clock::now() < deadline) {
        QTest::qWait(5);
    }
    dialog.CancelButton()->click();
    QVERIFY(MemoryRig::RunEnds(dialog));
    QCOMPARE(rig.radias.Program(0), rig.Converted(0, 0));
    QCOMPARE(rig.radias.Program(1), seeded.Program(1));
    QVERIFY2(dialog.Status()->text().startsWith(
                 QStringLiteral("Cancelled. Confirmed: 1 of 3 (A01); nothing after it was sent.")),
             qPrintable(dialog.Status()->text()));
    dialog.CancelButton()->click();  // Close
    QTest::qWait(0);

    // Restore: the backup's three programs back where they came from, after a backup of them.
    rig.harness.dialog.QueueChoice({backup});
    rig.harness.boxes.answers = {true};
    rig.Frame().Action(CommandId::RestoreRadias)->trigger();
    RadiasWriteDialog& restore = *rig.Frame().RadiasDialog();
    QVERIFY(restore.Restoring());
    const QString second = rig.folder + QStringLiteral("b.syx");
    restore.BackupPath()->setText(second);
    restore.StartButton()->click();
    QVERIFY(MemoryRig::RunEnds(restore));
    QCOMPARE(rig.radias.Backup(0, 2), seeded.Backup(0, 2));
    const Bytes replaced = ReadFile(second);
    QCOMPARE(replaced.size(), 3 * synth::kStoredProgramDumpSize);
    QCOMPARE(Bytes(replaced.begin(), replaced.begin() + synth::kStoredProgramDumpSize),
             rig.Converted(0, 0));
}

void WindowRadiasMemoryTest::aRefusalOrAnUnsafeBackupNameChangesNothing() {
    MemoryRig rig;
    const RadiasMemory seeded(kChannel);
    rig.harness.SelectRows({1});
    RadiasWriteDialog& dialog = rig.OpenWrite();
    QVERIFY(dialog.SelectedButton()->isChecked());
    // A name already taken: refused before the Radias is asked anything.
    const QString taken = rig.harness.WriteFile("taken.syx", {1, 2, 3});
    dialog.BackupPath()->setText(taken);
    dialog.StartButton()->click();
    QVERIFY(!dialog.Busy());
    QVERIFY(rig.harness.midi.SentMessages().empty());
    QCOMPARE(ReadFile(taken), (Bytes{1, 2, 3}));
    QVERIFY(rig.harness.boxes.shown.back().text.contains(QStringLiteral("Nothing was sent")));

    // Answered No: the backup is kept, nothing is written.
    const QString declined = rig.folder + QStringLiteral("declined.syx");
    dialog.BackupPath()->setText(declined);
    dialog.StartButton()->click();
    QVERIFY(MemoryRig::RunEnds(dialog));
    QCOMPARE(ReadFile(declined), seeded.Program(0));
    QCOMPARE(rig.radias.Program(0), seeded.Program(0));
    QVERIFY(dialog.Status()->text().startsWith(QStringLiteral("Nothing was written")));

    // Memory protect: the refusal says what to change; nothing after it is sent.
    rig.radias.Protect(true);
    dialog.BackupPath()->setText(rig.folder + QStringLiteral("p.syx"));
    rig.harness.boxes.answers = {true};
    dialog.StartButton()->click();
    QVERIFY(MemoryRig::RunEnds(dialog));
    QCOMPARE(rig.radias.Program(0), seeded.Program(0));
    const QString refusal = rig.harness.boxes.shown.back().text;
    QVERIFY2(rig.harness.boxes.shown.back().icon == MessageIcon::Error &&
                 refusal.contains(QStringLiteral("DATA LOAD ERROR")) &&
                 refusal.contains(QStringLiteral("protect"), Qt::CaseInsensitive) &&
                 refusal.contains(QStringLiteral("try again. Confirmed: 0 of 1 (none)")),
             qPrintable(refusal));
}

void WindowRadiasMemoryTest::withoutAnInterfaceTheDialogsSayWhatToConnect() {
    MemoryRig rig(false);
    RadiasWriteDialog& dialog = rig.OpenWrite();
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.StartButton()->isEnabled());
    QVERIFY(dialog.Status()->text().startsWith(QStringLiteral("Connect the Radias")));
    // A run past P16 is refused before anything can be sent.
    dialog.ListedButton()->click();
    dialog.FirstSlot()->setCurrentIndex(254);
    QVERIFY2(dialog.Status()->text().startsWith(
                 QStringLiteral("3 programs from P15 would run past P16")),
             qPrintable(dialog.Status()->text()));
    dialog.close();

    // Restore refuses what is no backup, and says what to connect for one that is.
    rig.harness.dialog.QueueChoice({rig.folder + QStringLiteral("Alpha.syx")});
    rig.Frame().Action(CommandId::RestoreRadias)->trigger();
    QVERIFY2(rig.harness.boxes.shown.back().text.contains(QStringLiteral("is not a Radias backup")),
             qPrintable(rig.harness.boxes.shown.back().text));
    const QString backup = rig.harness.WriteFile("backup.syx", rig.radias.Backup(0, 3));
    rig.harness.dialog.QueueChoice({backup});
    rig.Frame().Action(CommandId::RestoreRadias)->trigger();
    RadiasWriteDialog& restore = *rig.Frame().RadiasDialog();
    QVERIFY(restore.Restoring());
    QCOMPARE(restore.Targets()->count(), 4);
    QVERIFY(!restore.StartButton()->isEnabled());
    QVERIFY(restore.Status()->text().startsWith(QStringLiteral("Connect the Radias")));
    QVERIFY(rig.harness.midi.SentMessages().empty());
}

QTEST_MAIN(WindowRadiasMemoryTest)
#include "WindowRadiasMemoryTest.moc"

// Receive from MS2000, Save Received As and Identify Synth, driven in the real window against the
// fake MIDI service playing an interface with an MS2000 behind it: requests go out on the output,
// answers come in on the input, in pieces, among active sensing.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>

#include "app/ReceiveDialog.h"
#include "app/list/ProgramListView.h"
#include "library/SyxFormat.h"
#include "support/FrameHarness.h"
#include "support/TestPlatform.h"

using namespace patchferry;
using namespace patchferry::testing;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Pieces = std::vector<Bytes>;

namespace {

const Bytes kInquiryToAll{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
const Bytes kBankRequestOn3{0xF0, 0x42, 0x32, 0x58, 0x1C, 0xF7};
const Bytes kCurrentRequestOn3{0xF0, 0x42, 0x32, 0x58, 0x10, 0xF7};

Bytes Bank() {
    return MakeBankDump(2);  // from channel 3
}

Bytes CurrentProgram() {
    return MakeDump(static_cast<std::uint8_t>(syx::DumpFunction::CurrentProgram),
                    {MakeImage("Received")}, 2);
}

// The bytes from `from` to `to` as the input delivers them.
Pieces Cut(const Bytes& bytes, std::size_t from = 0, std::size_t to = SIZE_MAX) {
    to = std::min(to, bytes.size());
    return InPieces(Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                          bytes.begin() + static_cast<std::ptrdiff_t>(to)));
}

Bytes ReadBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs `script` on the receive dialog that Receive opens; a dialog the script leaves open is then
// cancelled and closed. False when no dialog opened.
bool WithReceiveDialog(CMainFrame& frame, const std::function<void(ReceiveDialog&)>& script) {
    bool seen = false;
    // A timer of this call's own: when no dialog opens (the user kept what was received), it
    // goes with the call instead of firing later into a script that is gone.
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<ReceiveDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        seen = true;
        script(*dialog);
        while (dialog->isVisible()) {
            dialog->reject();
        }
    });
    timer.start(0);
    frame.OnReceive();
    return seen;
}

bool WaitIdle(ReceiveDialog& dialog) {
    return QTest::qWaitFor([&] { return !dialog.Busy(); }, 5000);
}

// The harness with one interface, "UM-ONE", and a software port before it; the MIDI bar on the
// interface, channel 3.
struct ReceiveRig {
    explicit ReceiveRig(int barChannelIndex = 2) {
        harness.midi.SetDevices({{"Soft Synth", false, "128:0"}, {"UM-ONE", true, "24:0"}});
        auto store = harness.Store();
        store->setValue("midi/port", "UM-ONE");
        store->setValue("midi/chan", barChannelIndex);
        store->sync();
        harness.Start();
        harness.Frame().SetReceiveTimeouts({300ms, 200ms});
    }
    CMainFrame& Frame() { return harness.Frame(); }
    // An MS2000 on channel 3 that answers the bank request with `bank` and the current program
    // request with `current`.
    void Ms2000(const Pieces& bank, const Pieces& current = Cut(CurrentProgram())) {
        harness.midi.SetResponder([bank, current](std::span<const std::uint8_t> sent) {
            const Bytes request(sent.begin(), sent.end());
            if (request == kBankRequestOn3) {
                return bank;
            }
            if (request == kCurrentRequestOn3) {
                return current;
            }
            if (request == kInquiryToAll) {
                return Pieces{Ms2kIdentityReply(3)};
            }
            return Pieces{};
        });
    }
    FrameHarness harness;
};

}  // namespace

class WindowReceiveTest : public QObject {
    Q_OBJECT
  private slots:
    void receivesAllProgramsAndListsThemAsAnOpenedFile();
    void usesTheBarsOpenPortAndLeavesItOpen();
    void progressMovesAndCancelKeepsTheListAndSkipsTheTail();
    void failuresGuideTheUserAndKeepNothing();
    void findTakesTheChannelTheMs2000AnsweredOn();
    void choicesAreRememberedAndRestored();
    void saveReceivedWritesTheExactBytesAndAsksBeforeReplacing();
    void saveReceivedNeverWritesOverAFolderOrThroughALink();
    void receivedProgramsNeverSavedAreOfferedBeforeTheyGo();
    void identifyShowsWhoAnsweredAndAChannelThatDiffers();
};

void WindowReceiveTest::receivesAllProgramsAndListsThemAsAnOpenedFile() {
    ReceiveRig rig;
    const Bytes bank = Bank();
    rig.Ms2000(Cut(bank));
    rig.harness.Open({rig.harness.WriteFile("a.syx", MakeBankDump()),
                      rig.harness.WriteFile("b.syx", MakeBankDump())});
    QCOMPARE(rig.Frame().Library().Count(), 256);
    QVERIFY(!rig.Frame().Action(CommandId::SaveReceived)->isEnabled());

    const bool opened = WithReceiveDialog(rig.Frame(), [&](ReceiveDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QString("Receive from MS2000"));
        // Software ports are not offered; the interface of the bar's port is chosen.
        QCOMPARE(dialog.InputList()->count(), 1);
        QCOMPARE(dialog.InputList()->currentText(), QString("UM-ONE"));
        QVERIFY(dialog.AllButton()->isChecked());
        QCOMPARE(dialog.ChannelList()->currentText(), QString("03"));
        QCOMPARE(dialog.Progress()->text(), QString("0 of 37163 bytes"));
        dialog.CurrentButton()->click();
        QCOMPARE(dialog.Progress()->text(), QString("0 of 297 bytes"));
        dialog.AllButton()->click();
        QTest::mouseClick(dialog.ReceiveButton(), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 5000));
    });
    QVERIFY(opened);
    QVERIFY(rig.harness.boxes.shown.empty());
    QCOMPARE(rig.Frame().Received(), bank);
    QCOMPARE(rig.Frame().Library().Count(), 128);
    QCOMPARE(QString::fromStdString(rig.Frame().Library()[5].Name()).trimmed(), QString("Prog 5"));
    QVERIFY(QRegularExpression(R"(^Patchferry - \[MS2000 \d{4}-\d{2}-\d{2} \d{2}-\d{2}\]$)")
                .match(rig.Frame().windowTitle())
                .hasMatch());
    // As after an Open of one file: no File column.
    QCOMPARE(rig.Frame().ProgramList()->columnWidth(0), 0);
    QCOMPARE(rig.Frame().CountPane()->text(), QString("0128"));
    QVERIFY(rig.Frame().Action(CommandId::SaveReceived)->isEnabled());
    // The request went out on the interface's output, opened for it and closed after; the MIDI
    // bar's choices are as they were.
    QCOMPARE(rig.harness.midi.SentMessages(), (std::vector<Bytes>{kBankRequestOn3}));
    QCOMPARE(rig.harness.midi.OpenCount(), 0U);
    QCOMPARE(rig.harness.midi.OpenInputCount(), 0U);
    QVERIFY(!rig.Frame().ActiveBox()->isChecked());
    QVERIFY(!rig.Frame().Port().IsOpen());
}

void WindowReceiveTest::usesTheBarsOpenPortAndLeavesItOpen() {
    ReceiveRig rig;
    rig.Ms2000({}, Cut(CurrentProgram()));
    rig.Frame().ActiveBox()->click();
    QVERIFY(rig.Frame().Port().IsOpen());
    rig.harness.midi.ClearRecord();
    WithReceiveDialog(rig.Frame(), [&](ReceiveDialog& dialog) {
        dialog.CurrentButton()->click();
        dialog.ReceiveButton()->click();
        QVERIFY(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 5000));
    });
    QCOMPARE(rig.Frame().Library().Count(), 1);
    QCOMPARE(rig.Frame().Received(), CurrentProgram());
    const auto calls = rig.harness.midi.Calls();
    QVERIFY(std::none_of(calls.begin(), calls.end(),
                         [](const std::string& call) { return call.rfind("Open ", 0) == 0; }));
    QVERIFY(rig.Frame().Port().IsOpen());
    QVERIFY(rig.Frame().ActiveBox()->isChecked());
    QCOMPARE(rig.Frame().MidiStatePane()->text(), QString("MIDI-ON"));
}

void WindowReceiveTest::progressMovesAndCancelKeepsTheListAndSkipsTheTail() {
    ReceiveRig rig;
    const Bytes bank = Bank();
    // The bank comes only as the test lets it; the current program's answer comes after the
    // rest of the cancelled bank, which is still on its way.
    rig.Ms2000({}, [&] {
        Pieces tailThenCurrent = Cut(bank, bank.size() / 2);
        for (Bytes& piece : Cut(CurrentProgram())) {
            tailThenCurrent.push_back(std::move(piece));
        }
        return tailThenCurrent;
    }());
    rig.harness.Open({rig.harness.WriteFile("bank.syx", MakeBankDump())});
    const QString title = rig.Frame().windowTitle();

    WithReceiveDialog(rig.Frame(), [&](ReceiveDialog& dialog) {
        dialog.ReceiveButton()->click();
        QVERIFY(dialog.Busy());
        QVERIFY(!dialog.ReceiveButton()->isEnabled());
        QCOMPARE(dialog.Progress()->maximum(), 37163);
        std::vector<int> seen;
        const Pieces half = Cut(bank, 0, bank.size() / 2);
        for (std::size_t i = 0; i < half.size(); i += 16) {
            rig.harness.midi.Arrive(
                Pieces(half.begin() + static_cast<std::ptrdiff_t>(i),
                       half.begin() + static_cast<std::ptrdiff_t>(std::min(half.size(), i + 16))));
            rig.harness.midi.WaitDelivered();
            QTest::qWait(3 * ReceiveDialog::kPollMilliseconds);
            seen.push_back(dialog.Progress()->value());
        }
        QVERIFY(seen.size() >= 4);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QVERIFY(seen.front() > 0);
        QCOMPARE(seen.back(), static_cast<int>(bank.size() / 2));

        // Escape cancels at once; the dialog stays open.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.Busy());
        QCOMPARE(dialog.Status()->text(), QString("Cancelled."));
        QCOMPARE(rig.Frame().Library().Count(), 128);
        QCOMPARE(rig.Frame().windowTitle(), title);

        dialog.CurrentButton()->click();
        dialog.ReceiveButton()->click();
        QVERIFY(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 5000));
    });
    QVERIFY(rig.harness.boxes.shown.empty());
    QCOMPARE(rig.harness.midi.OpenInputCount(), 0U);
    QCOMPARE(rig.harness.midi.OpenCount(), 0U);
    QCOMPARE(rig.Frame().Received(), CurrentProgram());
    QCOMPARE(rig.Frame().Library().Count(), 1);
    QCOMPARE(QString::fromStdString(rig.Frame().Library()[0].Name()).trimmed(),
             QString("Received"));
}

void WindowReceiveTest::failuresGuideTheUserAndKeepNothing() {
    ReceiveRig rig;
    const Bytes bank = Bank();
    rig.Ms2000(Cut(bank, 0, bank.size() / 3), {});
    rig.harness.Open({rig.harness.WriteFile("bank.syx", MakeBankDump())});
    const QString title = rig.Frame().windowTitle();

    WithReceiveDialog(rig.Frame(), [&](ReceiveDialog& dialog) {
        // A current program that never comes.
        dialog.CurrentButton()->click();
        dialog.ReceiveButton()->click();
        QVERIFY(WaitIdle(dialog));
        QCOMPARE(rig.harness.boxes.shown.size(), 1U);
        const QString silent = rig.harness.boxes.shown[0].text;
        QVERIFY2(silent.startsWith("No answer came from the MS2000 on MIDI channel 3."),
                 qPrintable(silent));
        QVERIFY(silent.contains("MIDI OUT") && silent.contains("\"SystemEx\" is ENA"));
        QVERIFY(dialog.isVisible());

        // A bank that stops after a third.
        dialog.AllButton()->click();
        dialog.ReceiveButton()->click();
        QVERIFY(WaitIdle(dialog));
        QCOMPARE(rig.harness.boxes.shown.size(), 2U);
        const QString cut = rig.harness.boxes.shown[1].text;
        QVERIFY2(cut.contains("answer stopped after") && cut.contains("nothing of it was kept"),
                 qPrintable(cut));
    });
    QCOMPARE(rig.Frame().Library().Count(), 128);
    QCOMPARE(rig.Frame().windowTitle(), title);
    QVERIFY(rig.Frame().Received().empty());
    QVERIFY(!rig.Frame().Action(CommandId::SaveReceived)->isEnabled());
    QCOMPARE(rig.harness.midi.OpenCount(), 0U);

    // With no interface at all there is nothing to ask on, and the message says what to do.
    FrameHarness bare;
    bare.Start();
    WithReceiveDialog(bare.Frame(), [&](ReceiveDialog& dialog) {
        QCOMPARE(dialog.InputList()->count(), 0);
        dialog.ReceiveButton()->click();
    });
    QCOMPARE(bare.boxes.shown.size(), 1U);
    QVERIFY(bare.boxes.shown[0].text.startsWith("No MIDI input port was found."));
    QVERIFY(bare.boxes.shown[0].text.contains("MIDI IN"));
    QVERIFY(bare.midi.SentMessages().empty());
}

void WindowReceiveTest::findTakesTheChannelTheMs2000AnsweredOn() {
    ReceiveRig rig(/*barChannelIndex=*/0);
    rig.Ms2000({});
    WithReceiveDialog(rig.Frame(), [&](ReceiveDialog& dialog) {
        QCOMPARE(dialog.ChannelList()->currentText(), QString("01"));
        dialog.FindButton()->click();
        QVERIFY(dialog.Busy());
        QVERIFY(WaitIdle(dialog));
        QCOMPARE(dialog.ChannelList()->currentText(), QString("03"));
        QCOMPARE(dialog.Status()->text(), QString("The MS2000 answered on channel 3."));
    });
    QVERIFY(rig.harness.boxes.shown.empty());
    QCOMPARE(rig.harness.midi.SentMessages(), (std::vector<Bytes>{kInquiryToAll}));
    // Nothing of the MIDI bar changes by itself.
    QCOMPARE(rig.Frame().ChannelList()->currentText(), QString("01"));
}

void WindowReceiveTest::choicesAreRememberedAndRestored() {
    ReceiveRig rig;
    rig.harness.midi.SetDevices({{"UM-ONE", true, "24:0"}, {"MIDISPORT", true, "28:0"}});
    WithReceiveDialog(rig.Frame(), [&](ReceiveDialog& dialog) {
        QCOMPARE(dialog.InputList()->currentText(), QString("UM-ONE"));
        dialog.InputList()->setCurrentIndex(1);
        dialog.CurrentButton()->click();
        dialog.ChannelList()->setCurrentIndex(9);
        dialog.reject();
    });
    const auto store = rig.harness.Store();
    QCOMPARE(store->value("receive/port").toString(), QString("MIDISPORT"));
    QCOMPARE(store->value("receive/what").toInt(), 0);
    QCOMPARE(store->value("receive/chan").toInt(), 9);
    WithReceiveDialog(rig.Frame(), [&](ReceiveDialog& dialog) {
        QCOMPARE(dialog.InputList()->currentText(), QString("MIDISPORT"));
        QVERIFY(dialog.CurrentButton()->isChecked());
        QCOMPARE(dialog.ChannelList()->currentText(), QString("10"));
    });
}

void WindowReceiveTest::saveReceivedWritesTheExactBytesAndAsksBeforeReplacing() {
    ReceiveRig rig;
    const Bytes bank = Bank();
    rig.Ms2000(Cut(bank));
    WithReceiveDialog(rig.Frame(), [&](ReceiveDialog& dialog) {
        dialog.ReceiveButton()->click();
        QVERIFY(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 5000));
    });
    QCOMPARE(rig.Frame().Received(), bank);

    // Cancelled: nothing is written.
    rig.Frame().Action(CommandId::SaveReceived)->trigger();
    QCOMPARE(rig.harness.dialog.lastSaveTitle, QString("Save Received As"));
    const QString suggested = rig.harness.dialog.lastSuggestedName;
    QVERIFY2(rig.Frame().windowTitle().contains(suggested.chopped(4)), qPrintable(suggested));
    QVERIFY(suggested.endsWith(".syx"));

    const QString path =
        QString::fromStdString((rig.harness.Folder().Path() / "mine.syx").string());
    rig.harness.dialog.QueueSaveChoice(path);
    rig.Frame().Action(CommandId::SaveReceived)->trigger();
    QCOMPARE(ReadBytes(path), bank);
    QVERIFY(rig.harness.boxes.shown.empty());
    // The reader opens it again, as any file.
    rig.harness.Open({path});
    QCOMPARE(rig.Frame().Library().Count(), 128);

    // An existing file: replaced only when the user says so.
    const Bytes other{0xF0, 0x7E, 0xF7};
    rig.harness.WriteFile("mine.syx", other);
    rig.harness.dialog.QueueSaveChoice(path);
    rig.harness.boxes.answers = {false};
    rig.Frame().Action(CommandId::SaveReceived)->trigger();
    QCOMPARE(rig.harness.boxes.shown.size(), 1U);
    QVERIFY(rig.harness.boxes.shown[0].text.contains("already exists"));
    QCOMPARE(ReadBytes(path), other);
    rig.harness.dialog.QueueSaveChoice(path);
    rig.harness.boxes.answers = {true};
    rig.Frame().Action(CommandId::SaveReceived)->trigger();
    QCOMPARE(ReadBytes(path), bank);

    // A folder that is not there: said, and nothing else changes.
    rig.harness.dialog.QueueSaveChoice(path + "/no/such/folder.syx");
    rig.Frame().Action(CommandId::SaveReceived)->trigger();
    QCOMPARE(rig.harness.boxes.shown.back().icon, MessageIcon::Error);
    const QString failed = rig.harness.boxes.shown.back().text;
    QVERIFY(failed.startsWith("Failed to save "));
    QVERIFY2(!failed.endsWith("folder.syx. "), qPrintable(failed));  // the system's reason follows
}

// Received programs, saved as each of these, leave what is there as it is, and say why.
void WindowReceiveTest::saveReceivedNeverWritesOverAFolderOrThroughALink() {
    ReceiveRig rig;
    rig.Ms2000(Cut(Bank()));
    WithReceiveDialog(rig.Frame(), [&](ReceiveDialog& dialog) {
        dialog.ReceiveButton()->click();
        QVERIFY(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 5000));
    });
    QVERIFY(!rig.Frame().Received().empty());
    const TempDir& folder = rig.harness.Folder();
    const Bytes mine{0xF0, 0x7E, 0xF7};
    const QString precious = rig.harness.WriteFile("precious.syx", mine);
    std::vector<std::pair<std::string, QString>> names = {
        {folder.MakeFolder("Banks"), "is a folder.\nChoose a name for a file."}};
    if (MakeSymlink(precious.toStdString(), folder.Path() / "linked.syx") &&
        MakeSymlink(folder.Path() / "nowhere.syx", folder.Path() / "dangling.syx")) {
        names.push_back({(folder.Path() / "linked.syx").string(), "is a link"});
        names.push_back({(folder.Path() / "dangling.syx").string(), "is a link"});
    }
    for (const auto& [name, text] : names) {
        rig.harness.boxes.shown.clear();
        rig.harness.boxes.answers = {true};  // a "replace?" would be answered yes
        rig.harness.dialog.QueueSaveChoice(QString::fromStdString(name));
        rig.Frame().Action(CommandId::SaveReceived)->trigger();
        QCOMPARE(rig.harness.boxes.shown.size(), 1U);
        QCOMPARE(rig.harness.boxes.shown[0].icon, MessageIcon::Exclamation);
        QVERIFY2(rig.harness.boxes.shown[0].text.contains(text),
                 qPrintable(rig.harness.boxes.shown[0].text));
    }
    QCOMPARE(ReadBytes(precious), mine);
    QVERIFY(!std::filesystem::exists(folder.Path() / "nowhere.syx"));
    QVERIFY(std::filesystem::is_empty(folder.Path() / "Banks"));
}

void WindowReceiveTest::receivedProgramsNeverSavedAreOfferedBeforeTheyGo() {
    ReceiveRig rig;
    const Bytes bank = Bank();
    rig.Ms2000(Cut(bank));
    const auto receive = [&] {
        return WithReceiveDialog(rig.Frame(), [&](ReceiveDialog& dialog) {
            dialog.ReceiveButton()->click();
            QVERIFY(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 5000));
        });
    };
    QVERIFY(receive());
    const QString received = rig.Frame().windowTitle();
    const QString other = rig.harness.WriteFile("other.syx", MakeBankDump());
    CapturingMessageBox& boxes = rig.harness.boxes;

    // Cancel keeps everything as it is: no other file, no new receive, no quitting.
    boxes.saveChoices = {SaveChoice::Cancel, SaveChoice::Cancel, SaveChoice::Cancel};
    rig.harness.Open({other});
    QVERIFY(!receive());
    QVERIFY(!rig.Frame().close());
    QVERIFY(rig.Frame().isVisible());
    QCOMPARE(rig.Frame().windowTitle(), received);
    QCOMPARE(boxes.saveQuestions,
             std::vector<QString>(3, "Save the programs received from the MS2000?"));

    // Save runs Save Received As: cancelled there, nothing goes; saved, the open goes on and
    // nothing is asked again.
    boxes.saveChoices = {SaveChoice::Save, SaveChoice::Save};
    rig.harness.Open({other});
    QCOMPARE(rig.Frame().windowTitle(), received);
    const QString path =
        QString::fromStdString((rig.harness.Folder().Path() / "kept.syx").string());
    rig.harness.dialog.QueueSaveChoice(path);
    rig.harness.Open({other});
    QCOMPARE(ReadBytes(path), bank);
    QVERIFY(rig.Frame().windowTitle() != received);
    rig.harness.Open({other});
    QCOMPARE(boxes.saveQuestions.size(), 5U);

    // Once saved, a new receive asks nothing; the next one asks, and Discard lets it go.
    QVERIFY(receive());
    boxes.saveChoices = {SaveChoice::Discard};
    QVERIFY(receive());
    QCOMPARE(boxes.saveQuestions.size(), 6U);
    rig.Frame().Action(CommandId::SaveReceived)->trigger();  // cancelled in the dialog
    QVERIFY(rig.Frame().close());
    QCOMPARE(boxes.saveQuestions.size(), 7U);  // answered Discard, as none is queued
    QVERIFY(boxes.shown.empty());
}

void WindowReceiveTest::identifyShowsWhoAnsweredAndAChannelThatDiffers() {
    ReceiveRig rig(/*barChannelIndex=*/0);
    rig.Ms2000({});
    QVERIFY(rig.Frame().Action(CommandId::Identify)->isEnabled());
    rig.Frame().Action(CommandId::Identify)->trigger();
    QCOMPARE(rig.harness.boxes.shown.size(), 1U);
    const CapturedMessage& shown = rig.harness.boxes.shown[0];
    QCOMPARE(shown.icon, MessageIcon::Information);
    QVERIFY2(shown.text.contains("Korg (42h), family 0058h (MS2000 or microKORG)") &&
                 shown.text.contains("global channel 3") &&
                 shown.text.contains("answered on MIDI channel 3, but Midi Chan is 01"),
             qPrintable(shown.text));
    QCOMPARE(rig.harness.midi.SentMessages(), (std::vector<Bytes>{kInquiryToAll}));
    QCOMPARE(rig.Frame().ChannelList()->currentText(), QString("01"));
    QCOMPARE(rig.harness.midi.OpenCount(), 0U);

    // Nobody there: what to check.
    rig.harness.midi.SetResponder({});
    rig.Frame().SetSendTimeout(1s);
    QTimer::singleShot(1500, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();  // Cancel stops asking channel by channel
        }
    });
    rig.Frame().Action(CommandId::Identify)->trigger();
    QCOMPARE(rig.harness.boxes.shown.size(), 1U);
}

QTEST_MAIN(WindowReceiveTest)
#include "WindowReceiveTest.moc"

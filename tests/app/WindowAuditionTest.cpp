// Audition: the selected program converted and sent as one program dump, from each trigger.

#include <QLabel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "app/list/ProgramListView.h"
#include "convert/ProgramConverter.h"
#include "library/SyxFormat.h"
#include "support/FrameHarness.h"
#include "synth/ProgramDump.h"

using namespace patchferry;
using namespace patchferry::testing;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Program 0 is a Split program whose two timbres differ, program 1 a Vocoder program.
Bytes AuditionBank() {
    std::vector<Ms2kProgramImage> images;
    for (std::size_t p = 0; p < 128; ++p) {
        images.push_back(BankImage(p));
    }
    Ms2kProgramImage split = BankImage(7);
    split[kMs2kVoiceModeOffset] =
        static_cast<std::uint8_t>(static_cast<unsigned>(VoiceMode::Split) << kMs2kVoiceModeLowBit);
    for (std::size_t i = 146; i < kMs2kProgramSize; ++i) {
        split[i] = static_cast<std::uint8_t>(split[i] ^ 0x55U);
    }
    images[0] = split;
    images[1] = MakeImage("Voice", VoiceMode::Vocoder);
    return MakeDump(static_cast<std::uint8_t>(syx::DumpFunction::ProgramDump), images);
}

Bytes ExpectedDump(const CMainFrame& frame, int row, int channel) {
    ProgramConverter converter(frame.Library()[static_cast<std::size_t>(row)].Image());
    converter.Convert();
    const ProgramDump dump = BuildProgramDump(converter.Image(), channel);
    return Bytes(dump.begin(), dump.end());
}

struct AuditionRig {
    // `cableBack`: the interface has a MIDI input, where the Radias's answers arrive.
    explicit AuditionRig(bool cableBack = false) {
        harness.midi.SetDevices({{"USB MIDI", true, "", cableBack}});
        CMainFrame& frame = harness.Start();
        frame.SetSendTimeout(200ms);
        harness.Open({harness.WriteFile("bank.syx", AuditionBank())});
        frame.ChannelList()->setCurrentIndex(4);
        frame.ActiveBox()->click();
        frame.RefreshCommandUi();
    }
    CMainFrame& Frame() { return harness.Frame(); }
    std::size_t Sent() const { return harness.midi.SentMessages().size(); }
    FrameHarness harness;
};

QPoint RowPoint(ProgramListView* list, int row) {
    return list->visualRect(list->model()->index(row, 3)).center();
}

}  // namespace

class WindowAuditionTest : public QObject {
    Q_OBJECT
  private slots:
    void everyTriggerSendsTheDumpOnTheChosenChannel_data();
    void everyTriggerSendsTheDumpOnTheChosenChannel();
    void theLowestSelectedRowIsAuditioned();
    void nothingIsSentForClosedPortOrNoSelection();
    void failedSendIsReported();
    void lateCompletionIsWaitedFor();
    void missingCompletionResetsThePortAndSaysSo();
    void theRadiasAnswerShowsWithoutWaitingForIt();
};

void WindowAuditionTest::everyTriggerSendsTheDumpOnTheChosenChannel_data() {
    QTest::addColumn<QString>("trigger");
    for (const char* trigger : {"Ctrl+A", "menu", "toolbar", "double-click", "Enter"}) {
        QTest::newRow(trigger) << QString(trigger);
    }
}

void WindowAuditionTest::everyTriggerSendsTheDumpOnTheChosenChannel() {
    QFETCH(QString, trigger);
    AuditionRig rig;
    CMainFrame& frame = rig.Frame();
    ProgramListView* list = frame.ProgramList();
    QVERIFY(frame.Action(CommandId::Audition)->isEnabled());
    rig.harness.SelectRows({0});
    list->setFocus();

    if (trigger == "Ctrl+A") {
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    } else if (trigger == "menu") {
        QMenu* program = frame.menuBar()->actions().at(2)->menu();
        QCOMPARE(program->actions().at(1), frame.Action(CommandId::Audition));
        program->actions().at(1)->trigger();
    } else if (trigger == "toolbar") {
        auto* button = qobject_cast<QToolButton*>(
            frame.ToolBar()->widgetForAction(frame.Action(CommandId::Audition)));
        QVERIFY(button != nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (trigger == "double-click") {
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowPoint(list, 0));
    } else {
        QTest::keyClick(list, Qt::Key_Return);
    }
    FrameHarness::Deliver();

    const auto sent = rig.harness.midi.SentMessages();
    QCOMPARE(sent.size(), std::size_t{1});
    QCOMPARE(sent[0].size(), std::size_t{2052});
    QCOMPARE(sent[0][2], std::uint8_t{0x34});
    QCOMPARE(sent[0], ExpectedDump(frame, 0, 4));
    QVERIFY(rig.harness.boxes.shown.empty());
    QVERIFY(frame.Port().IsOpen());
}

void WindowAuditionTest::theLowestSelectedRowIsAuditioned() {
    AuditionRig rig;
    rig.harness.SelectRows({9, 4, 6});
    rig.Frame().OnAudition();
    const auto sent = rig.harness.midi.SentMessages();
    QCOMPARE(sent.size(), std::size_t{1});
    QCOMPARE(sent[0], ExpectedDump(rig.Frame(), 4, 4));
    QVERIFY(sent[0] != ExpectedDump(rig.Frame(), 6, 4));

    // A Vocoder program goes out as any other.
    rig.harness.SelectRows({3, 1});
    rig.Frame().OnAudition();
    QCOMPARE(rig.Sent(), std::size_t{2});
    QCOMPARE(rig.harness.midi.SentMessages()[1], ExpectedDump(rig.Frame(), 1, 4));
}

void WindowAuditionTest::nothingIsSentForClosedPortOrNoSelection() {
    AuditionRig rig;
    CMainFrame& frame = rig.Frame();
    rig.Frame().ProgramList()->clearSelection();
    frame.OnAudition();
    QCOMPARE(rig.Sent(), std::size_t{0});

    frame.ActiveBox()->click();  // closes the port
    QVERIFY(!frame.Port().IsOpen());
    ProgramListView* list = frame.ProgramList();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowPoint(list, 2));
    FrameHarness::Deliver();
    QCOMPARE(rig.Sent(), std::size_t{0});
    QVERIFY(rig.harness.boxes.shown.empty());
}

void WindowAuditionTest::failedSendIsReported() {
    AuditionRig rig;
    rig.harness.midi.QueueSendResult(
        {midi::MidiErrorCause::Other, 67, "The MIDI device is not ready."});
    rig.harness.SelectRows({2});
    rig.Frame().OnAudition();
    QCOMPARE(rig.harness.boxes.shown.size(), std::size_t{1});
    QCOMPARE(rig.harness.boxes.shown[0].icon, MessageIcon::Error);
    QCOMPARE(rig.harness.boxes.shown[0].text,
             QString("Error: Failed to send Midi SysEx message to MS2K. The MIDI device is not "
                     "ready."));
    // Nothing went out, so nothing is waited for or reset.
    const auto calls = rig.harness.midi.Calls();
    QVERIFY(std::find(calls.begin(), calls.end(), "Reset") == calls.end());
    QCOMPARE(calls.back(), std::string("Send"));
    QCOMPARE(rig.harness.midi.OpenInputCount(), std::size_t{0});
    QVERIFY(rig.Frame().Port().IsOpen());
}

void WindowAuditionTest::lateCompletionIsWaitedFor() {
    AuditionRig rig;
    rig.Frame().SetSendTimeout(5000ms);
    rig.harness.midi.SetCompletion(midi::FakeCompletion::Delayed, 30ms);
    rig.harness.SelectRows({3});
    rig.Frame().OnAudition();
    QCOMPARE(rig.Sent(), std::size_t{1});
    const auto calls = rig.harness.midi.Calls();
    QVERIFY(std::find(calls.begin(), calls.end(), "Complete") != calls.end());
    QVERIFY(std::find(calls.begin(), calls.end(), "Reset") == calls.end());
    QVERIFY(rig.harness.boxes.shown.empty());
}

void WindowAuditionTest::missingCompletionResetsThePortAndSaysSo() {
    AuditionRig rig;
    rig.harness.midi.SetCompletion(midi::FakeCompletion::Never);
    rig.harness.SelectRows({3});
    rig.Frame().OnAudition();
    const auto calls = rig.harness.midi.Calls();
    QVERIFY(std::find(calls.begin(), calls.end(), "Reset") != calls.end());
    QCOMPARE(calls.back(), std::string("Finish"));
    QCOMPARE(rig.harness.midi.OpenInputCount(), std::size_t{0});
    QCOMPARE(rig.harness.boxes.shown.size(), std::size_t{1});
    QCOMPARE(rig.harness.boxes.shown[0].icon, MessageIcon::Error);
    QCOMPARE(rig.harness.boxes.shown[0].text,
             QString("Error: Failed to send Midi SysEx message to MS2K. The MIDI device did not "
                     "finish within 30 seconds; its output was reset."));
}

// Lets the window run until it stops listening for the Radias's answer (at most 3 s).
bool AnswerHeard(const CMainFrame& frame) {
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (frame.ListeningForAudition() && std::chrono::steady_clock::now() < deadline) {
        QTest::qWait(5);
    }
    return !frame.ListeningForAudition();
}

// The Radias's short answers on channel 5: F0 42 34 72 ff F7.
Bytes Answer(std::uint8_t function) {
    return {0xF0, 0x42, 0x34, 0x72, function, 0xF7};
}

void WindowAuditionTest::theRadiasAnswerShowsWithoutWaitingForIt() {
    AuditionRig rig(true);
    std::chrono::steady_clock::duration took{};
    const auto listen = [&rig, &took](std::vector<Bytes> answer) {
        rig.harness.midi.SetResponder(
            [answer](std::span<const std::uint8_t>) { return std::vector<Bytes>(answer); });
        rig.harness.boxes.shown.clear();
        rig.harness.SelectRows({2});
        const auto started = std::chrono::steady_clock::now();
        rig.Frame().OnAudition();
        // The window is back at once; the dump crosses the cable in 657 ms.
        QVERIFY(rig.Frame().ListeningForAudition());
        QVERIFY(AnswerHeard(rig.Frame()));
        took = std::chrono::steady_clock::now() - started;
    };
    const QString label =
        QStringLiteral("A003 ") + QString::fromStdString(rig.Frame().Library()[2].Name());

    listen({{0xFE}, Answer(0x23)});
    QCOMPARE(rig.Frame().MessagePane()->text(), label + ": the Radias took it");
    QVERIFY(rig.harness.boxes.shown.empty());
    QCOMPARE(rig.harness.midi.OpenInputCount(), std::size_t{0});  // open only while listening

    listen({Answer(0x24)});
    QCOMPARE(rig.harness.boxes.shown.size(), std::size_t{1});
    QCOMPARE(rig.harness.boxes.shown[0].icon, MessageIcon::Error);
    QVERIFY(rig.harness.boxes.shown[0].text.contains("DATA LOAD ERROR"));
    QVERIFY(rig.harness.boxes.shown[0].text.contains("memory protect"));

    listen({});
    QCOMPARE(rig.Frame().MessagePane()->text(), label + ": sent; no answer from the Radias");
    QVERIFY(rig.harness.boxes.shown.empty());
    QVERIFY(took >= 1500ms);

    // An answer to the Audition before, coming late, is not this one's: a new Audition ends the
    // listening for the last one, and what comes while its dump is leaving counts for neither.
    rig.harness.midi.SetResponder(
        [](std::span<const std::uint8_t>) { return std::vector<Bytes>{}; });
    rig.Frame().OnAudition();
    rig.Frame().OnAudition();
    rig.harness.midi.Arrive({Answer(0x23)});
    QVERIFY(AnswerHeard(rig.Frame()));
    QCOMPARE(rig.Frame().MessagePane()->text(), label + ": sent; no answer from the Radias");
}

QTEST_MAIN(WindowAuditionTest)
#include "WindowAuditionTest.moc"

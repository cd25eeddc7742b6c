// The MIDI bar: the port and channel lists, their restore and save, the "Midi Active" box and the
// status panes.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include "support/FrameHarness.h"

using namespace patchferry;
using namespace patchferry::testing;
using Fake = patchferry::midi::FakeMidiService;

namespace {

bool Called(const FrameHarness& harness, const std::string& call) {
    const auto calls = harness.midi.Calls();
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

bool AnyOpenCall(const FrameHarness& harness) {
    for (const auto& call : harness.midi.Calls()) {
        if (call.rfind("Open", 0) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

class WindowMidiBarTest : public QObject {
    Q_OBJECT
  private slots:
    void onlyHardwarePortsAreOfferedWithTheirAddresses();
    void withoutAccessToMidiTheOpenSaysWhy();
    void savedPortIsFoundIgnoringCaseFirstMatchWins();
    void savedChannelIsRestoredByIndex_data();
    void savedChannelIsRestoredByIndex();
    void activeBoxOpensAndClosesThePort();
    void failedOpenUnchecksTheBox();
    void withNoPortNothingIsOpened();
    void closingTheWindowClosesThePort();
};

void WindowMidiBarTest::onlyHardwarePortsAreOfferedWithTheirAddresses() {
    FrameHarness harness;
    harness.midi.SetDevices({{"Soft Synth", false, "128:0"},
                             {"USB MIDI", true, "24:0"},
                             {"Radias Out", true, "28:0"},
                             {"Midi Through", false, "14:0"}});
    CMainFrame& frame = harness.Start();
    QComboBox* ports = frame.PortList();
    QCOMPARE(ports->count(), 2);
    QCOMPARE(ports->itemText(0), QString("USB MIDI"));
    QCOMPARE(ports->itemData(0).toString(), QString("24:0"));
    QCOMPARE(ports->itemText(1), QString("Radias Out"));
    QCOMPARE(ports->itemData(1).toString(), QString("28:0"));
    QCOMPARE(ports->currentIndex(), 0);

    QComboBox* channels = frame.ChannelList();
    QCOMPARE(channels->count(), 16);
    QCOMPARE(channels->itemText(0), QString("01"));
    QCOMPARE(channels->itemText(15), QString("16"));
    QCOMPARE(channels->itemData(15).toInt(), 15);
    QVERIFY(!ports->isEditable() && !channels->isEditable());
    QCOMPARE(ports->focusPolicy() & Qt::TabFocus, 0);

    // Choosing the second port opens it by its address.
    ports->setCurrentIndex(1);
    frame.ActiveBox()->click();
    QVERIFY(Called(harness, "Open 28:0"));
}

void WindowMidiBarTest::savedPortIsFoundIgnoringCaseFirstMatchWins() {
    FrameHarness harness;
    harness.midi.SetDevices({{"Port X", true}, {"USB Out", true}, {"usb out", true}});
    harness.Store()->setValue("midi/port", "USB OUT");
    QCOMPARE(harness.Start().PortList()->currentIndex(), 1);
    harness.Close();
    QCOMPARE(harness.Store()->value("midi/port").toString(), QString("USB Out"));

    harness.Store()->setValue("midi/port", "Gone Away");
    QCOMPARE(harness.Start().PortList()->currentIndex(), 0);
}

void WindowMidiBarTest::savedChannelIsRestoredByIndex_data() {
    QTest::addColumn<int>("saved");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("written");
    QTest::newRow("0") << 0 << "01" << 0;
    QTest::newRow("15") << 15 << "16" << 15;
    QTest::newRow("16") << 16 << "" << -1;
    QTest::newRow("-1") << -1 << "" << -1;
}

void WindowMidiBarTest::savedChannelIsRestoredByIndex() {
    QFETCH(int, saved);
    QFETCH(QString, shown);
    QFETCH(int, written);
    FrameHarness harness;
    harness.Store()->setValue("midi/chan", saved);
    QCOMPARE(harness.Start().ChannelList()->currentText(), shown);
    harness.Close();
    QCOMPARE(harness.Store()->value("midi/chan").toInt(), written);
}

void WindowMidiBarTest::activeBoxOpensAndClosesThePort() {
    FrameHarness harness;
    harness.midi.SetDevices({{"USB MIDI", true}});
    CMainFrame& frame = harness.Start();
    harness.Open({harness.WriteFile("bank.syx", MakeBankDump())});
    QVERIFY(!frame.Action(CommandId::Audition)->isEnabled());

    QTest::mouseClick(frame.ActiveBox(), Qt::LeftButton);
    frame.RefreshCommandUi();
    QVERIFY(frame.ActiveBox()->isChecked());
    QVERIFY(frame.Port().IsOpen());
    QVERIFY(!frame.PortList()->isEnabled());
    QVERIFY(!frame.ChannelList()->isEnabled());
    QCOMPARE(frame.MidiStatePane()->text(), QString("MIDI-ON"));
    QCOMPARE(frame.CountPane()->text(), QString("0128"));
    QVERIFY(frame.Action(CommandId::Audition)->isEnabled());

    QTest::mouseClick(frame.ActiveBox(), Qt::LeftButton);
    frame.RefreshCommandUi();
    QVERIFY(!frame.Port().IsOpen());
    QVERIFY(frame.PortList()->isEnabled());
    QVERIFY(frame.ChannelList()->isEnabled());
    QCOMPARE(frame.MidiStatePane()->text(), QString("MIDI-OFF"));
    QVERIFY(!frame.Action(CommandId::Audition)->isEnabled());
    QCOMPARE(harness.midi.OpenCount(), std::size_t{0});
}

void WindowMidiBarTest::failedOpenUnchecksTheBox() {
    FrameHarness harness;
    harness.midi.SetDevices({{"USB MIDI", true}});
    harness.midi.QueueOpenResult(
        {midi::MidiErrorCause::OtherProgram, 4, "The device is already in use."});
    CMainFrame& frame = harness.Start();
    harness.Open({harness.WriteFile("bank.syx", MakeBankDump())});

    frame.ActiveBox()->click();
    frame.RefreshCommandUi();
    QCOMPARE(harness.boxes.shown.size(), std::size_t{1});
    QCOMPARE(harness.boxes.shown[0].icon, MessageIcon::Error);
    QCOMPARE(
        harness.boxes.shown[0].text,
        QString("Error: Failed to open the specified MIDI port. The device is already in use."));
    QVERIFY(!frame.ActiveBox()->isChecked());
    QVERIFY(!frame.Port().IsOpen());
    QVERIFY(frame.PortList()->isEnabled() && frame.ChannelList()->isEnabled());
    QCOMPARE(frame.MidiStatePane()->text(), QString("MIDI-OFF"));
    QVERIFY(!frame.Action(CommandId::Audition)->isEnabled());

    // The next click tries again, and this time the service lets it open.
    frame.ActiveBox()->click();
    QVERIFY(frame.Port().IsOpen());
    QVERIFY(frame.ActiveBox()->isChecked());
}

void WindowMidiBarTest::withNoPortNothingIsOpened() {
    FrameHarness harness;
    harness.midi.SetDevices({{"Soft Synth", false}});
    harness.midi.SetErrorText(midi::MidiErrorCause::NoSuchPort,
                              "The specified device identifier is out of range.");
    CMainFrame& frame = harness.Start();
    QCOMPARE(frame.PortList()->currentIndex(), -1);

    frame.ActiveBox()->click();
    QVERIFY(!AnyOpenCall(harness));
    QVERIFY(!frame.Port().IsOpen());
    QVERIFY(!frame.ActiveBox()->isChecked());
    QCOMPARE(harness.boxes.shown.size(), std::size_t{1});
    QCOMPARE(harness.boxes.shown[0].text,
             QString("Error: Failed to open the specified MIDI port. "
                     "The specified device identifier is out of range."));
    harness.Close();
    QVERIFY(!harness.Store()->contains("midi/port"));
}

void WindowMidiBarTest::withoutAccessToMidiTheOpenSaysWhy() {
    FrameHarness harness;
    harness.midi.SetDevices({{"USB MIDI", true}});
    harness.midi.SetListResult({midi::MidiErrorCause::NoAccess, -13, "Permission denied"});
    CMainFrame& frame = harness.Start();
    QCOMPARE(frame.PortList()->count(), 0);
    QVERIFY(harness.boxes.shown.empty());  // nothing is said at start

    frame.ActiveBox()->click();
    QVERIFY(!AnyOpenCall(harness));
    QCOMPARE(harness.boxes.shown.size(), std::size_t{1});
    QCOMPARE(harness.boxes.shown[0].text,
             QString("Error: Failed to open the specified MIDI port. Permission denied"));
}

void WindowMidiBarTest::closingTheWindowClosesThePort() {
    FrameHarness harness;
    harness.midi.SetDevices({{"USB MIDI", true}});
    CMainFrame& frame = harness.Start();
    frame.ActiveBox()->click();
    QCOMPARE(harness.midi.OpenCount(), std::size_t{1});
    harness.Close();
    QCOMPARE(harness.midi.OpenCount(), std::size_t{0});
    QVERIFY(Called(harness, "Close"));
    QCOMPARE(harness.Store()->value("midi/port").toString(), QString("USB MIDI"));
}

QTEST_MAIN(WindowMidiBarTest)
#include "WindowMidiBarTest.moc"

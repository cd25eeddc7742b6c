// The Windows multimedia input against a scripted service that calls back as the driver does.

#include "midi/winmm/WinMmInput.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "midi/FakeWinMmIn.h"
#include "midi/winmm/WinMmMidiService.h"

namespace patchferry::midi::winmm {
namespace {

using ::testing::ElementsAre;

class ScriptedOut final : public WinMmApi {
  public:
    UINT GetNumDevs() override { return 1; }
    MMRESULT GetDevCaps(UINT /*device*/, MIDIOUTCAPSW& caps) override {
        std::fill(std::begin(caps.szPname), std::end(caps.szPname), L'\0');
        std::wstring name = L"Soft Synth";
        std::copy(name.begin(), name.end(), caps.szPname);
        caps.wTechnology = MOD_SWSYNTH;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Open(HMIDIOUT& /*out*/, UINT, DWORD_PTR, DWORD_PTR, DWORD) override {
        return MMSYSERR_ERROR;
    }
    MMRESULT Close(HMIDIOUT) override { return MMSYSERR_NOERROR; }
    MMRESULT PrepareHeader(HMIDIOUT, MIDIHDR&) override { return MMSYSERR_NOERROR; }
    MMRESULT LongMsg(HMIDIOUT, MIDIHDR&) override { return MMSYSERR_NOERROR; }
    MMRESULT UnprepareHeader(HMIDIOUT, MIDIHDR&) override { return MMSYSERR_NOERROR; }
    MMRESULT Reset(HMIDIOUT) override { return MMSYSERR_NOERROR; }
    MMRESULT GetErrorText(MMRESULT, wchar_t* text, UINT) override {
        text[0] = L'\0';
        return MMSYSERR_NOERROR;
    }
};

struct Rig {
    Rig() {
        auto in = std::make_unique<FakeWinMmIn>();
        scripted = in.get();
        service = std::make_unique<WinMmMidiService>(std::make_unique<ScriptedOut>(),
                                                           std::move(in));
    }
    MidiInputSink Sink() { return received.Sink(); }
    FakeWinMmIn* scripted = nullptr;
    std::unique_ptr<WinMmMidiService> service;
    ReceivedBytes received;
};

TEST(WinMmInput, ListsInputsWithUtf8NamesAndTheKindOfTheOutputOfTheSameName) {
    Rig rig;
    std::vector<MidiPortInfo> ports;
    ASSERT_TRUE(rig.service->ListInputPorts(ports).Ok());
    ASSERT_EQ(ports.size(), 3U);
    EXPECT_EQ(ports[0].name, "UM-ONE");
    EXPECT_TRUE(ports[0].hardwarePort);
    EXPECT_EQ(ports[1].address, "1");
    EXPECT_FALSE(ports[1].hardwarePort);  // the output of that name is a software synth
    EXPECT_EQ(ports[2].name, "Ger\xC3\xA4t \xE9\x9F\xB3");
}

TEST(WinMmInput, HandsOnSysExPiecesAndShortMessagesAndGivesEachBufferBack) {
    Rig rig;
    std::unique_ptr<MidiInputConnection> input;
    ASSERT_TRUE(rig.service->OpenInput("0", rig.Sink(), input).Ok());
    FakeWinMmIn& in = *rig.scripted;
    EXPECT_EQ(in.openFlags, static_cast<DWORD>(CALLBACK_FUNCTION));
    EXPECT_THAT(in.Calls(), ElementsAre("open 0", "prepare", "add", "prepare", "add", "prepare",
                                        "add", "prepare", "add", "start"));
    in.Fill({0xF0, 0x42, 0x32});
    in.Short(0xFE);
    in.Short(0x403C90);
    in.Fill({0x58, 0x4C, 0xF7});
    in.Fill({0xF0, 0x42}, MIM_LONGERROR);
    ASSERT_TRUE(rig.received.WaitFor(13));
    EXPECT_EQ(rig.received.Bytes(),
              (std::vector<std::uint8_t>{0xF0, 0x42, 0x32, 0xFE, 0x90, 0x3C, 0x40, 0x58, 0x4C, 0xF7,
                                         0xF0, 0x42, 0xF4}));
    EXPECT_TRUE(in.WaitQueued(kInputBuffers));  // every filled buffer went back to the driver

    input.reset();
    // Reset returns the buffers, which are not given again; then unprepared, then closed.
    const auto calls = in.Calls();
    EXPECT_THAT(
        std::vector<std::string>(std::find(calls.begin(), calls.end(), "reset"), calls.end()),
        ElementsAre("reset", "unprepare", "unprepare", "unprepare", "unprepare", "close"));
    EXPECT_EQ(rig.received.Bytes().size(), 13U);  // the returned empty buffers hand on nothing
    EXPECT_THAT(in.Misuse(), ElementsAre());
}

TEST(WinMmInput, AFailedStartUndoesTheOpenAndAnUnknownDeviceIsRefused) {
    Rig rig;
    rig.scripted->startResult = MMSYSERR_NOMEM;
    std::unique_ptr<MidiInputConnection> input;
    EXPECT_EQ(rig.service->OpenInput("2", rig.Sink(), input).Cause(), MidiErrorCause::OutOfMemory);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(rig.scripted->Calls().back(), "close");
    EXPECT_EQ(rig.service->OpenInput("3", rig.Sink(), input).Cause(), MidiErrorCause::NoSuchPort);
    EXPECT_EQ(rig.service->OpenInput("4294967295", rig.Sink(), input).Cause(),
              MidiErrorCause::NoSuchPort);
}

}  // namespace
}  // namespace patchferry::midi::winmm

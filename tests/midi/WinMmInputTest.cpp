// The Windows multimedia input against a scripted service that calls back as the driver does.

#include "midi/winmm/WinMmInput.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "midi/winmm/WinMmMidiOutputService.h"

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

// Keeps the buffers it was given, in order, and calls back as a driver would.
class ScriptedIn final : public WinMmInApi {
  public:
    std::vector<std::wstring> names{L"UM-ONE", L"Soft Synth", L"Ger\u00e4t \u97f3"};
    MMRESULT startResult = MMSYSERR_NOERROR;
    std::vector<std::string> calls;
    std::vector<MIDIHDR*> queued;
    DWORD_PTR callback = 0;
    DWORD_PTR instance = 0;
    DWORD flags = 0;

    UINT GetNumDevs() override { return static_cast<UINT>(names.size()); }
    MMRESULT GetDevCaps(UINT device, MIDIINCAPSW& caps) override {
        std::fill(std::begin(caps.szPname), std::end(caps.szPname), L'\0');
        std::copy(names.at(device).begin(), names.at(device).end(), caps.szPname);
        return MMSYSERR_NOERROR;
    }
    MMRESULT Open(HMIDIIN& in, UINT device, DWORD_PTR callbackTarget, DWORD_PTR instanceData,
                  DWORD openFlags) override {
        calls.push_back("open " + std::to_string(device));
        callback = callbackTarget;
        instance = instanceData;
        flags = openFlags;
        in = reinterpret_cast<HMIDIIN>(static_cast<std::uintptr_t>(0x200 + device));
        return MMSYSERR_NOERROR;
    }
    MMRESULT Close(HMIDIIN /*in*/) override {
        calls.push_back("close");
        return MMSYSERR_NOERROR;
    }
    MMRESULT PrepareHeader(HMIDIIN /*in*/, MIDIHDR& header) override {
        calls.push_back("prepare");
        header.dwFlags |= MHDR_PREPARED;
        return MMSYSERR_NOERROR;
    }
    MMRESULT UnprepareHeader(HMIDIIN /*in*/, MIDIHDR& header) override {
        calls.push_back("unprepare");
        header.dwFlags &= ~static_cast<DWORD>(MHDR_PREPARED);
        return MMSYSERR_NOERROR;
    }
    MMRESULT AddBuffer(HMIDIIN /*in*/, MIDIHDR& header) override {
        calls.push_back("add");
        queued.push_back(&header);
        return MMSYSERR_NOERROR;
    }
    MMRESULT Start(HMIDIIN /*in*/) override {
        calls.push_back("start");
        return startResult;
    }
    MMRESULT Reset(HMIDIIN in) override {
        calls.push_back("reset");
        // Every queued buffer comes back as done, through the callback.
        while (!queued.empty()) {
            Call(in, MIM_LONGDATA, Fill({}));
        }
        return MMSYSERR_NOERROR;
    }

    // The oldest queued buffer filled with `bytes`, taken from the queue.
    DWORD_PTR Fill(const std::vector<std::uint8_t>& bytes) {
        MIDIHDR* header = queued.front();
        queued.erase(queued.begin());
        std::copy(bytes.begin(), bytes.end(), reinterpret_cast<std::uint8_t*>(header->lpData));
        header->dwBytesRecorded = static_cast<DWORD>(bytes.size());
        return reinterpret_cast<DWORD_PTR>(header);
    }
    void Call(HMIDIIN in, UINT message, DWORD_PTR param1) {
        using Proc = void(CALLBACK*)(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);
        reinterpret_cast<Proc>(callback)(in, message, instance, param1, 0);
    }
};

struct Rig {
    Rig() {
        auto in = std::make_unique<ScriptedIn>();
        scripted = in.get();
        service = std::make_unique<WinMmMidiOutputService>(std::make_unique<ScriptedOut>(),
                                                           std::move(in));
    }
    MidiInputSink Sink() {
        return [this](std::span<const std::uint8_t> bytes) {
            received.insert(received.end(), bytes.begin(), bytes.end());
        };
    }
    ScriptedIn* scripted = nullptr;
    std::unique_ptr<WinMmMidiOutputService> service;
    std::vector<std::uint8_t> received;
};

HMIDIIN Native(UINT device) {
    return reinterpret_cast<HMIDIIN>(static_cast<std::uintptr_t>(0x200 + device));
}

TEST(WinMmInput, ListsInputsWithUtf8NamesAndTheKindOfTheOutputOfTheSameName) {
    Rig rig;
    std::vector<MidiOutPortInfo> ports;
    ASSERT_EQ(rig.service->ListInputPorts(ports), kMidiOk);
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
    ASSERT_EQ(rig.service->OpenInput("0", rig.Sink(), input), kMidiOk);
    ScriptedIn& in = *rig.scripted;
    EXPECT_EQ(in.flags, static_cast<DWORD>(CALLBACK_FUNCTION));
    EXPECT_THAT(in.calls, ElementsAre("open 0", "prepare", "add", "prepare", "add", "prepare",
                                      "add", "prepare", "add", "start"));
    in.Call(Native(0), MIM_LONGDATA, in.Fill({0xF0, 0x42, 0x32}));
    in.Call(Native(0), MIM_DATA, 0xFE);
    in.Call(Native(0), MIM_DATA, 0x403C90);
    in.Call(Native(0), MIM_LONGDATA, in.Fill({0x58, 0x4C, 0xF7}));
    in.Call(Native(0), MIM_LONGERROR, in.Fill({0xF0, 0x42}));
    EXPECT_EQ(rig.received, (std::vector<std::uint8_t>{0xF0, 0x42, 0x32, 0xFE, 0x90, 0x3C, 0x40,
                                                       0x58, 0x4C, 0xF7, 0xF0, 0x42, 0xF4}));
    EXPECT_EQ(in.queued.size(), kInputBuffers);  // every filled buffer went back to the driver

    in.calls.clear();
    input.reset();
    // Reset returns the buffers, which are not given again; then unprepared, then closed.
    EXPECT_THAT(in.calls,
                ElementsAre("reset", "unprepare", "unprepare", "unprepare", "unprepare", "close"));
    EXPECT_EQ(rig.received.size(), 13U);  // the returned empty buffers hand on nothing
}

TEST(WinMmInput, AFailedStartUndoesTheOpenAndAnUnknownDeviceIsRefused) {
    Rig rig;
    rig.scripted->startResult = MMSYSERR_NOMEM;
    std::unique_ptr<MidiInputConnection> input;
    EXPECT_EQ(rig.service->OpenInput("2", rig.Sink(), input), MMSYSERR_NOMEM);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(rig.scripted->calls.back(), "close");
    EXPECT_EQ(rig.service->OpenInput("3", rig.Sink(), input), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(rig.service->OpenInput("4294967295", rig.Sink(), input), MMSYSERR_BADDEVICEID);
}

}  // namespace
}  // namespace patchferry::midi::winmm

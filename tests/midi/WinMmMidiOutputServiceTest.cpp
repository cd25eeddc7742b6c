// The Windows multimedia backend against a scripted service that keeps the header flags as the
// real one does: prepared, in the queue, done.

#include "midi/winmm/WinMmMidiOutputService.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "midi/SendLongMessage.h"

namespace patchferry::midi::winmm {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

struct ScriptedDevice {
    std::string name;
    WORD technology = MOD_MIDIPORT;
    MMRESULT capsResult = MMSYSERR_NOERROR;
};

class ScriptedWinMm final : public WinMmApi {
  public:
    std::vector<ScriptedDevice> devices;
    MMRESULT openResult = MMSYSERR_NOERROR;
    MMRESULT sendResult = MMSYSERR_NOERROR;
    bool completes = true;  // the driver is done with a message as soon as it has it
    std::vector<std::string> calls;
    DWORD_PTR callback = 0;
    DWORD_PTR instance = 1;
    DWORD flags = 0;
    std::vector<std::uint8_t> sent;
    DWORD bufferLength = 0;
    DWORD bytesRecorded = 0;
    UINT errorTextSize = 0;

    UINT GetNumDevs() override { return static_cast<UINT>(devices.size()); }
    MMRESULT GetDevCaps(UINT device, MIDIOUTCAPSA& caps) override {
        const ScriptedDevice& scripted = devices.at(device);
        if (scripted.capsResult != MMSYSERR_NOERROR) {
            return scripted.capsResult;
        }
        std::memset(caps.szPname, 0, sizeof(caps.szPname));
        std::memcpy(caps.szPname, scripted.name.data(),
                    std::min(scripted.name.size(), sizeof(caps.szPname)));
        caps.wTechnology = scripted.technology;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Open(HMIDIOUT& out, UINT device, DWORD_PTR callbackTarget, DWORD_PTR instanceData,
                  DWORD openFlags) override {
        calls.push_back("open " + std::to_string(device));
        callback = callbackTarget;
        instance = instanceData;
        flags = openFlags;
        if (openResult == MMSYSERR_NOERROR) {
            out = reinterpret_cast<HMIDIOUT>(static_cast<std::uintptr_t>(0x100 + device));
        }
        return openResult;
    }
    MMRESULT Close(HMIDIOUT /*out*/) override {
        calls.push_back("close");
        return queued_ ? MIDIERR_STILLPLAYING : MMSYSERR_NOERROR;
    }
    MMRESULT PrepareHeader(HMIDIOUT /*out*/, MIDIHDR& header) override {
        calls.push_back("prepare");
        header.dwFlags |= MHDR_PREPARED;
        return MMSYSERR_NOERROR;
    }
    MMRESULT LongMsg(HMIDIOUT /*out*/, MIDIHDR& header) override {
        calls.push_back("send");
        if ((header.dwFlags & MHDR_PREPARED) == 0) {
            return MIDIERR_UNPREPARED;
        }
        if (sendResult != MMSYSERR_NOERROR) {
            return sendResult;
        }
        const auto* data = reinterpret_cast<const std::uint8_t*>(header.lpData);
        sent.assign(data, data + header.dwBufferLength);
        bufferLength = header.dwBufferLength;
        bytesRecorded = header.dwBytesRecorded;
        header_ = &header;
        queued_ = true;
        if (completes) {
            Done();
        }
        return MMSYSERR_NOERROR;
    }
    MMRESULT UnprepareHeader(HMIDIOUT /*out*/, MIDIHDR& header) override {
        calls.push_back("unprepare");
        if (queued_ && &header == header_) {
            return MIDIERR_STILLPLAYING;
        }
        header.dwFlags &= ~static_cast<DWORD>(MHDR_PREPARED);
        return MMSYSERR_NOERROR;
    }
    MMRESULT Reset(HMIDIOUT /*out*/) override {
        calls.push_back("reset");
        if (queued_) {
            Done();
        }
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetErrorText(MMRESULT code, char* text, UINT size) override {
        errorTextSize = size;
        if (code == MMSYSERR_ERROR) {
            return MMSYSERR_BADERRNUM;
        }
        const std::string scripted = "text of " + std::to_string(code);
        std::memcpy(text, scripted.c_str(), scripted.size() + 1);
        return MMSYSERR_NOERROR;
    }

  private:
    // The driver hands the header back and signals the event it was opened with.
    void Done() {
        queued_ = false;
        header_->dwFlags |= MHDR_DONE;
        SetEvent(reinterpret_cast<HANDLE>(callback));
    }

    bool queued_ = false;
    MIDIHDR* header_ = nullptr;
};

class WinMmMidiOutputServiceTest : public ::testing::Test {
  protected:
    WinMmMidiOutputServiceTest() {
        auto api = std::make_unique<ScriptedWinMm>();
        api_ = api.get();
        api_->devices = {{"USB MIDI Interface"},
                         {"Microsoft GS Wavetable Synth", MOD_SWSYNTH},
                         {"Unreadable", MOD_MIDIPORT, MMSYSERR_NODRIVER},
                         {std::string(40, 'N'), MOD_MIDIPORT},
                         {"OPL3 FM Synth", MOD_FMSYNTH}};
        service_ = std::make_unique<WinMmMidiOutputService>(std::move(api));
    }

    ScriptedWinMm* api_;
    std::unique_ptr<WinMmMidiOutputService> service_;
    const std::vector<std::uint8_t> dump_ = std::vector<std::uint8_t>(2052, 0x11);
};

TEST_F(WinMmMidiOutputServiceTest, ListsReadableDevicesByNumberAndTellsMidiPortsFromSynths) {
    std::vector<MidiOutPortInfo> ports;
    ASSERT_EQ(service_->ListPorts(ports), kMidiOk);
    ASSERT_EQ(ports.size(), 4U);
    EXPECT_EQ(ports[0].name, "USB MIDI Interface");
    EXPECT_TRUE(ports[0].hardwarePort);
    EXPECT_EQ(ports[0].address, "0");
    EXPECT_FALSE(ports[1].hardwarePort);
    EXPECT_EQ(ports[2].address, "3");
    // A name that fills the record leaves no room for its terminator: nothing beyond it is read.
    EXPECT_EQ(ports[2].name, std::string(sizeof(MIDIOUTCAPSA{}.szPname), 'N'));
    EXPECT_FALSE(ports[3].hardwarePort);
}

TEST_F(WinMmMidiOutputServiceTest, OpensAListedNumberForTheServiceToSignalTheEvent) {
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    for (const char* address : {"5", "-1", "4294967295", "x", ""}) {
        EXPECT_EQ(service_->Open(address, event, handle), MMSYSERR_BADDEVICEID) << address;
    }
    EXPECT_TRUE(api_->calls.empty());  // the MIDI mapper is never opened by accident

    ASSERT_EQ(service_->Open("3", event, handle), kMidiOk);
    EXPECT_NE(handle, MidiOutHandle::Null);
    EXPECT_EQ(api_->flags, static_cast<DWORD>(CALLBACK_EVENT));
    EXPECT_EQ(api_->callback, reinterpret_cast<DWORD_PTR>(event.NativeHandle()));
    EXPECT_EQ(api_->instance, 0U);

    api_->openResult = MMSYSERR_ALLOCATED;
    EXPECT_EQ(service_->Open("0", event, handle), MMSYSERR_ALLOCATED);
    EXPECT_EQ(handle, MidiOutHandle::Null);
}

TEST_F(WinMmMidiOutputServiceTest, SendsOnePreparedHeaderAndUnpreparesItOnceDone) {
    MidiOutPort port(*service_);
    ASSERT_EQ(port.Open({"USB MIDI Interface", true, "0"}), kMidiOk);
    const SendOutcome outcome = SendLongMessage(port, dump_, 5s);
    EXPECT_TRUE(outcome.Succeeded()) << outcome.errorText;
    EXPECT_EQ(api_->sent, dump_);
    EXPECT_EQ(api_->bufferLength, 2052U);
    EXPECT_EQ(api_->bytesRecorded, 2052U);
    EXPECT_THAT(api_->calls, ElementsAre("open 0", "prepare", "send", "unprepare"));
}

TEST_F(WinMmMidiOutputServiceTest, RefusedSendIsUnpreparedAndReportedAtOnce) {
    MidiOutPort port(*service_);
    ASSERT_EQ(port.Open({"USB MIDI Interface", true, "0"}), kMidiOk);
    api_->sendResult = MIDIERR_NOTREADY;
    const auto started = std::chrono::steady_clock::now();
    const SendOutcome outcome = SendLongMessage(port, dump_, 30s);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    EXPECT_EQ(outcome.result, static_cast<MidiResult>(MIDIERR_NOTREADY));
    EXPECT_EQ(outcome.errorText, "text of " + std::to_string(MIDIERR_NOTREADY));
    EXPECT_EQ(api_->errorTextSize, kErrorTextSize);
    EXPECT_THAT(api_->calls, ElementsAre("open 0", "prepare", "send", "unprepare"));
}

TEST_F(WinMmMidiOutputServiceTest, ADriverThatNeverFinishesIsResetBeforeTheHeaderGoes) {
    MidiOutPort port(*service_);
    ASSERT_EQ(port.Open({"USB MIDI Interface", true, "0"}), kMidiOk);
    api_->completes = false;
    const SendOutcome outcome = SendLongMessage(port, dump_, 20ms);
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_THAT(api_->calls, ElementsAre("open 0", "prepare", "send", "reset", "unprepare"));

    // Closing with a message still out takes it back first.
    api_->calls.clear();
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    ASSERT_EQ(service_->Open("0", event, handle), kMidiOk);
    ASSERT_EQ(service_->Send(handle, dump_), kMidiOk);
    EXPECT_EQ(service_->Send(handle, dump_), static_cast<MidiResult>(MIDIERR_STILLPLAYING));
    service_->Close(handle);
    EXPECT_THAT(api_->calls, ElementsAre("open 0", "prepare", "send", "unprepare", "unprepare",
                                         "reset", "unprepare", "close"));
}

TEST_F(WinMmMidiOutputServiceTest, ACodeWithoutATextStillGetsOne) {
    EXPECT_EQ(service_->ErrorText(MMSYSERR_ERROR), "MIDI error 1.");
}

}  // namespace
}  // namespace patchferry::midi::winmm

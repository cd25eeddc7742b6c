// The Windows multimedia backend against a scripted service that keeps the header flags as the
// real one does: prepared, in the queue, done.

#include "midi/winmm/WinMmMidiService.h"

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
    std::wstring name;
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
    MMRESULT GetDevCaps(UINT device, MIDIOUTCAPSW& caps) override {
        const ScriptedDevice& scripted = devices.at(device);
        if (scripted.capsResult != MMSYSERR_NOERROR) {
            return scripted.capsResult;
        }
        std::fill(std::begin(caps.szPname), std::end(caps.szPname), L'\0');
        std::copy_n(scripted.name.begin(), std::min(scripted.name.size(), std::size(caps.szPname)),
                    caps.szPname);
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
    MMRESULT GetErrorText(MMRESULT code, wchar_t* text, UINT size) override {
        errorTextSize = size;
        if (code == MMSYSERR_ERROR) {
            return MMSYSERR_BADERRNUM;
        }
        // "Gerät" as a German system might put it, to see the text arrive as UTF-8.
        const std::wstring scripted = L"Ger\u00e4t: text of " + std::to_wstring(code);
        std::copy_n(scripted.c_str(), scripted.size() + 1, text);
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

class WinMmMidiServiceTest : public ::testing::Test {
  protected:
    WinMmMidiServiceTest() {
        auto api = std::make_unique<ScriptedWinMm>();
        api_ = api.get();
        api_->devices = {{L"USB MIDI Interface"},
                         {L"Microsoft GS Wavetable Synth", MOD_SWSYNTH},
                         {L"Unreadable", MOD_MIDIPORT, MMSYSERR_NODRIVER},
                         {std::wstring(40, L'N'), MOD_MIDIPORT},
                         {L"OPL3 FM Synth", MOD_FMSYNTH},
                         {L"\u00c9l\u00e9ment \u97f3\u6e90", MOD_MIDIPORT}};
        service_ = std::make_unique<WinMmMidiService>(std::move(api));
    }

    ScriptedWinMm* api_;
    std::unique_ptr<WinMmMidiService> service_;
    const std::vector<std::uint8_t> dump_ = std::vector<std::uint8_t>(2052, 0x11);
};

TEST_F(WinMmMidiServiceTest, ListsReadableDevicesByNumberAndTellsMidiPortsFromSynths) {
    std::vector<MidiPortInfo> ports;
    ASSERT_TRUE(service_->ListPorts(ports).Ok());
    ASSERT_EQ(ports.size(), 5U);
    EXPECT_EQ(ports[0].name, "USB MIDI Interface");
    EXPECT_TRUE(ports[0].hardwarePort);
    EXPECT_EQ(ports[0].address, "0");
    EXPECT_FALSE(ports[1].hardwarePort);
    EXPECT_EQ(ports[2].address, "3");
    // A name that fills the record leaves no room for its terminator: nothing beyond it is read.
    EXPECT_EQ(ports[2].name, std::string(std::size(MIDIOUTCAPSW{}.szPname), 'N'));
    EXPECT_FALSE(ports[3].hardwarePort);
    // Names come as UTF-16 and leave as UTF-8, whatever the machine's ANSI code page holds.
    EXPECT_EQ(ports[4].name, "\u00c9l\u00e9ment \u97f3\u6e90");
}

TEST_F(WinMmMidiServiceTest, OpensAListedNumberForTheServiceToSignalTheEvent) {
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    for (const char* address : {"6", "-1", "4294967295", "x", ""}) {
        const MidiError refused = service_->Open(address, event, handle);
        EXPECT_EQ(refused.Code(), static_cast<int>(MMSYSERR_BADDEVICEID)) << address;
        EXPECT_EQ(refused.Cause(), MidiErrorCause::NoSuchPort) << address;
    }
    EXPECT_TRUE(api_->calls.empty());  // the MIDI mapper is never opened by accident

    ASSERT_TRUE(service_->Open("3", event, handle).Ok());
    EXPECT_NE(handle, MidiOutHandle::Null);
    EXPECT_EQ(api_->flags, static_cast<DWORD>(CALLBACK_EVENT));
    EXPECT_EQ(api_->callback, reinterpret_cast<DWORD_PTR>(event.NativeHandle()));
    EXPECT_EQ(api_->instance, 0U);

    api_->openResult = MMSYSERR_ALLOCATED;
    EXPECT_EQ(service_->Open("0", event, handle).Cause(), MidiErrorCause::OtherProgram);
    EXPECT_EQ(handle, MidiOutHandle::Null);
}

TEST_F(WinMmMidiServiceTest, SendsOnePreparedHeaderAndUnpreparesItOnceDone) {
    MidiOutPort port(*service_);
    ASSERT_TRUE(port.Open({"USB MIDI Interface", true, "0"}).Ok());
    const SendOutcome outcome = SendLongMessage(port, dump_, 5s);
    EXPECT_TRUE(outcome.Succeeded()) << outcome.errorText;
    EXPECT_EQ(api_->sent, dump_);
    EXPECT_EQ(api_->bufferLength, 2052U);
    EXPECT_EQ(api_->bytesRecorded, 2052U);
    EXPECT_THAT(api_->calls, ElementsAre("open 0", "prepare", "send", "unprepare"));
}

TEST_F(WinMmMidiServiceTest, RefusedSendIsUnpreparedAndReportedAtOnce) {
    MidiOutPort port(*service_);
    ASSERT_TRUE(port.Open({"USB MIDI Interface", true, "0"}).Ok());
    api_->sendResult = MIDIERR_NOTREADY;
    const auto started = std::chrono::steady_clock::now();
    const SendOutcome outcome = SendLongMessage(port, dump_, 30s);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    EXPECT_EQ(outcome.error.Code(), static_cast<int>(MIDIERR_NOTREADY));
    EXPECT_EQ(outcome.errorText, "Ger\u00e4t: text of " + std::to_string(MIDIERR_NOTREADY));
    EXPECT_EQ(api_->errorTextSize, kErrorTextSize);
    EXPECT_THAT(api_->calls, ElementsAre("open 0", "prepare", "send", "unprepare"));
}

TEST_F(WinMmMidiServiceTest, ADriverThatNeverFinishesIsResetBeforeTheHeaderGoes) {
    MidiOutPort port(*service_);
    ASSERT_TRUE(port.Open({"USB MIDI Interface", true, "0"}).Ok());
    api_->completes = false;
    const SendOutcome outcome = SendLongMessage(port, dump_, 20ms);
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_THAT(api_->calls, ElementsAre("open 0", "prepare", "send", "reset", "unprepare"));

    // Closing with a message still out takes it back first.
    api_->calls.clear();
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    ASSERT_TRUE(service_->Open("0", event, handle).Ok());
    ASSERT_TRUE(service_->Send(handle, dump_).Ok());
    EXPECT_EQ(service_->Send(handle, dump_).Cause(), MidiErrorCause::StillSending);
    service_->Close(handle);
    EXPECT_THAT(api_->calls, ElementsAre("open 0", "prepare", "send", "unprepare", "unprepare",
                                         "reset", "unprepare", "close"));
}

TEST_F(WinMmMidiServiceTest, ACodeWithoutATextStillGetsOne) {
    api_->openResult = MMSYSERR_ERROR;
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    EXPECT_EQ(service_->Open("0", event, handle).Text(), "MIDI error 1.");
}

// The real multimedia service: a device number it does not have is refused before it reaches the
// driver, and the refusal reads as the system's own text, not the stand-in for a missing one.
TEST(WinMmSystemService, RefusesADeviceItDoesNotHaveWithTheSystemsText) {
    const auto service = CreateSystemMidiOutputService();
    std::vector<MidiPortInfo> ports;
    ASSERT_TRUE(service->ListPorts(ports).Ok());
    std::unique_ptr<MidiOutput> output;
    const MidiError result = MidiOutput::Open(*service, std::to_string(ports.size()), output);
    EXPECT_EQ(result, service->ErrorFor(MidiErrorCause::NoSuchPort));
    EXPECT_EQ(output, nullptr);
    const std::string text = result.Text();
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find("MIDI error"), std::string::npos) << text;
}

}  // namespace
}  // namespace patchferry::midi::winmm

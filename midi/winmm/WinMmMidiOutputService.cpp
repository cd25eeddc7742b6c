#include "midi/winmm/WinMmMidiOutputService.h"

// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include <array>
#include <cstring>
#include <vector>

namespace patchferry::midi::winmm {
namespace {

// The handle carries the service's HMIDIOUT unchanged.
HMIDIOUT ToNative(MidiOutHandle handle) {
    return reinterpret_cast<HMIDIOUT>(  // NOLINT(performance-no-int-to-ptr)
        static_cast<std::uintptr_t>(handle));
}

MidiResult ToResult(MMRESULT result) {
    return static_cast<MidiResult>(result);
}

// The driver header of one message and the buffer it points at. The driver owns both from a
// successful midiOutLongMsg until it marks the header done; so the header is unprepared, and the
// buffer freed, only once the driver has let go (a reset makes it let go at once).
class Header final : public LongMessageState {
  public:
    Header(HMIDIOUT handle, std::span<const std::uint8_t> data)
        : handle_(handle), buffer_(data.begin(), data.end()) {
        header_.lpData = reinterpret_cast<LPSTR>(buffer_.data());
        header_.dwBufferLength = static_cast<DWORD>(buffer_.size());
        header_.dwBytesRecorded = static_cast<DWORD>(buffer_.size());
    }
    ~Header() override {
        if ((header_.dwFlags & MHDR_PREPARED) != 0) {
            if (Unprepare() == MIDIERR_STILLPLAYING) {
                midiOutReset(handle_);
                Unprepare();
            }
        }
    }
    Header(const Header&) = delete;
    Header& operator=(const Header&) = delete;

    MMRESULT Prepare() { return midiOutPrepareHeader(handle_, &header_, sizeof(MIDIHDR)); }
    MMRESULT Send() { return midiOutLongMsg(handle_, &header_, sizeof(MIDIHDR)); }
    MMRESULT Unprepare() { return midiOutUnprepareHeader(handle_, &header_, sizeof(MIDIHDR)); }
    bool IsPrepared() const { return (header_.dwFlags & MHDR_PREPARED) != 0; }
    HMIDIOUT Handle() const { return handle_; }

  private:
    HMIDIOUT handle_;
    std::vector<std::uint8_t> buffer_;
    MIDIHDR header_{};
};

Header* HeaderOf(LongMessage& message) {
    return dynamic_cast<Header*>(message.State());
}

}  // namespace

unsigned WinMmMidiOutputService::DeviceCount() {
    return midiOutGetNumDevs();
}

MidiResult WinMmMidiOutputService::DeviceCaps(unsigned device, MidiOutCaps& caps) {
    if (device >= midiOutGetNumDevs()) {
        return BadDeviceResult();
    }
    MIDIOUTCAPSA native{};
    const MMRESULT result = midiOutGetDevCapsA(device, &native, sizeof(native));
    if (result != MMSYSERR_NOERROR) {
        return ToResult(result);
    }
    caps.name.assign(native.szPname, strnlen(native.szPname, sizeof(native.szPname)));
    caps.hardwarePort = native.wTechnology == MOD_MIDIPORT;
    return kMidiOk;
}

MidiResult WinMmMidiOutputService::Open(MidiOutHandle& handle, unsigned device,
                                        CompletionEvent& event) {
    handle = MidiOutHandle::Null;
    // Refused here so that no number outside the list reaches the service (which would take
    // MIDI_MAPPER, 0xFFFFFFFF, as its MIDI mapper).
    if (device >= midiOutGetNumDevs()) {
        return BadDeviceResult();
    }
    HMIDIOUT native = nullptr;
    const MMRESULT result = midiOutOpen(
        &native, device, reinterpret_cast<DWORD_PTR>(event.NativeHandle()), 0, CALLBACK_EVENT);
    if (result == MMSYSERR_NOERROR) {
        handle = static_cast<MidiOutHandle>(reinterpret_cast<std::uintptr_t>(native));
    }
    return ToResult(result);
}

void WinMmMidiOutputService::Close(MidiOutHandle handle) {
    HMIDIOUT native = ToNative(handle);
    if (midiOutClose(native) == MIDIERR_STILLPLAYING) {
        // A message is still queued: take it back, then close.
        midiOutReset(native);
        midiOutClose(native);
    }
}

MidiResult WinMmMidiOutputService::PrepareHeader(MidiOutHandle handle, LongMessage& message) {
    auto header = std::make_unique<Header>(ToNative(handle), message.Data());
    const MMRESULT result = header->Prepare();
    message.SetPrepared(header->IsPrepared());
    message.SetState(std::move(header));
    return ToResult(result);
}

MidiResult WinMmMidiOutputService::LongMsg(MidiOutHandle handle, LongMessage& message) {
    Header* header = HeaderOf(message);
    if (header == nullptr || header->Handle() != ToNative(handle)) {
        return ToResult(MIDIERR_UNPREPARED);
    }
    return ToResult(header->Send());
}

MidiResult WinMmMidiOutputService::UnprepareHeader(MidiOutHandle handle, LongMessage& message) {
    Header* header = HeaderOf(message);
    if (header == nullptr || header->Handle() != ToNative(handle)) {
        return ToResult(MMSYSERR_INVALPARAM);
    }
    // Still playing: the header stays prepared, and the message's state unprepares it (after a
    // reset) before the buffer goes.
    const MMRESULT result = header->Unprepare();
    message.SetPrepared(header->IsPrepared());
    return ToResult(result);
}

MidiResult WinMmMidiOutputService::Reset(MidiOutHandle handle) {
    return ToResult(midiOutReset(ToNative(handle)));
}

std::string WinMmMidiOutputService::ErrorText(MidiResult code) {
    // The service writes at most 99 characters into a zero-filled buffer.
    std::array<char, 100> text{};
    const MMRESULT result = midiOutGetErrorTextA(static_cast<MMRESULT>(code), text.data(), 99);
    if (result != MMSYSERR_NOERROR || text[0] == '\0') {
        return "MIDI error " + std::to_string(code) + ".";
    }
    return text.data();
}

MidiResult WinMmMidiOutputService::BadDeviceResult() const {
    return ToResult(MMSYSERR_BADDEVICEID);
}

MidiResult WinMmMidiOutputService::InvalidHandleResult() const {
    return ToResult(MMSYSERR_INVALHANDLE);
}

}  // namespace patchferry::midi::winmm

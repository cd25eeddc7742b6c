#pragma once
// What the program needs from the platform's MIDI output: a numbered list of output devices that
// tells hardware MIDI ports from everything else, open by number with a completion event, close,
// one complete SysEx message at a time with prepare / send / unprepare, reset, and a text for
// every result code. Each platform has one backend behind this interface; tests use a fake.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "midi/CompletionEvent.h"

namespace patchferry::midi {

// The backend's own result code; 0 is success on every backend. Only the backend that produced a
// code can turn it into text.
using MidiResult = int;
inline constexpr MidiResult kMidiOk = 0;

struct MidiOutCaps {
    std::string name;
    bool hardwarePort =
        false;  // a MIDI port on an interface or sound card (not a synth or program)
};

// Identifies one open device to the backend that opened it. Null while nothing is open.
enum class MidiOutHandle : std::uintptr_t { Null = 0 };

// Whatever a backend keeps for one prepared message (a driver header, a copy of the bytes).
class LongMessageState {
  public:
    virtual ~LongMessageState() = default;
};

// One complete SysEx message on its way out. The caller keeps the bytes alive as long as the
// message; a backend that must hand the driver its own buffer keeps that in the message's state,
// which is released (and unprepared, if still prepared) no earlier than the message itself.
class LongMessage {
  public:
    explicit LongMessage(std::span<const std::uint8_t> data) : data_(data) {}
    LongMessage(const LongMessage&) = delete;
    LongMessage& operator=(const LongMessage&) = delete;
    ~LongMessage() = default;

    std::span<const std::uint8_t> Data() const { return data_; }
    bool IsPrepared() const { return prepared_; }

    // For backends.
    void SetPrepared(bool prepared) { prepared_ = prepared; }
    LongMessageState* State() const { return state_.get(); }
    void SetState(std::unique_ptr<LongMessageState> state) { state_ = std::move(state); }

  private:
    std::span<const std::uint8_t> data_;
    bool prepared_ = false;
    // Declared last so it goes first: a backend's state may still refer to the bytes above.
    std::unique_ptr<LongMessageState> state_;
};

class MidiOutputService {
  public:
    MidiOutputService() = default;
    MidiOutputService(const MidiOutputService&) = delete;
    MidiOutputService& operator=(const MidiOutputService&) = delete;
    virtual ~MidiOutputService() = default;

    // Output devices are numbered 0 .. DeviceCount() - 1.
    virtual unsigned DeviceCount() = 0;
    virtual MidiResult DeviceCaps(unsigned device, MidiOutCaps& caps) = 0;

    // On success sets `handle`; from then on `event` is signalled each time a long message is done.
    // `event` must outlive the open device.
    virtual MidiResult Open(MidiOutHandle& handle, unsigned device, CompletionEvent& event) = 0;
    virtual void Close(MidiOutHandle handle) = 0;

    virtual MidiResult PrepareHeader(MidiOutHandle handle, LongMessage& message) = 0;
    // Result 0 when the message was accepted; the open event is signalled once it is done.
    virtual MidiResult LongMsg(MidiOutHandle handle, LongMessage& message) = 0;
    virtual MidiResult UnprepareHeader(MidiOutHandle handle, LongMessage& message) = 0;
    // Stops output and drops whatever has not gone yet.
    virtual MidiResult Reset(MidiOutHandle handle) = 0;

    virtual std::string ErrorText(MidiResult code) = 0;

    // The backend's code for a device number that names no device.
    virtual MidiResult BadDeviceResult() const = 0;
    // The backend's code for a handle that names no open device.
    virtual MidiResult InvalidHandleResult() const = 0;
};

// The platform's own MIDI output: the ALSA sequencer on Linux, the multimedia MIDI service on
// Windows.
std::unique_ptr<MidiOutputService> CreateSystemMidiOutputService();

}  // namespace patchferry::midi

#pragma once
// MIDI output through the Windows multimedia MIDI service: one call of the service for each
// operation, the completion event signalled by the service itself (CALLBACK_EVENT).

#include "midi/MidiOutputService.h"

namespace patchferry::midi::winmm {

class WinMmMidiOutputService final : public MidiOutputService {
  public:
    unsigned DeviceCount() override;
    MidiResult DeviceCaps(unsigned device, MidiOutCaps& caps) override;
    MidiResult Open(MidiOutHandle& handle, unsigned device, CompletionEvent& event) override;
    void Close(MidiOutHandle handle) override;
    MidiResult PrepareHeader(MidiOutHandle handle, LongMessage& message) override;
    MidiResult LongMsg(MidiOutHandle handle, LongMessage& message) override;
    MidiResult UnprepareHeader(MidiOutHandle handle, LongMessage& message) override;
    MidiResult Reset(MidiOutHandle handle) override;
    std::string ErrorText(MidiResult code) override;
    MidiResult BadDeviceResult() const override;
    MidiResult InvalidHandleResult() const override;
};

}  // namespace patchferry::midi::winmm

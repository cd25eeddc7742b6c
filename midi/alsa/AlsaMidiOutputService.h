#pragma once
// MIDI output through the ALSA sequencer. Each open device is a client of our own ("Patchferry")
// with one output port subscribed to the destination port; a long message goes out as one direct
// SysEx event and counts as done once its bytes can have left the wire.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "midi/MidiOutputService.h"
#include "midi/alsa/AlsaSeq.h"
#include "midi/alsa/CompletionTimer.h"

namespace patchferry::midi::alsa {

inline constexpr const char* kClientName = "Patchferry";
inline constexpr const char* kOutputPortName = "Patchferry out";

class AlsaMidiOutputService final : public MidiOutputService {
  public:
    explicit AlsaMidiOutputService(std::unique_ptr<AlsaSeqLibrary> library);
    ~AlsaMidiOutputService() override;

    // Lists the ports again; the device numbers stay as listed until the next call. Without a
    // sequencer the list is empty.
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

  private:
    struct Device {
        int client = 0;
        int port = 0;
        std::string name;
        bool hardwarePort = false;
    };
    struct OpenPort {
        std::unique_ptr<AlsaSeqClient> client;
        int ownPort = 0;
        std::unique_ptr<CompletionTimer> timer;
    };

    void ListDevicesOnce();
    OpenPort* Find(MidiOutHandle handle);

    std::unique_ptr<AlsaSeqLibrary> library_;
    bool listed_ = false;
    std::vector<Device> devices_;
    std::uintptr_t nextHandle_ = 1;
    std::map<std::uintptr_t, OpenPort> open_;
};

}  // namespace patchferry::midi::alsa

#pragma once
// MIDI output through the ALSA sequencer. One client of our own ("Patchferry"), opened on first
// use and kept, lists the ports and carries the output: each open port is an output port of that
// client subscribed to the destination (the kernel opens a hardware port's raw MIDI device only
// for a subscriber). A message goes out as one direct SysEx event addressed to the destination
// itself and counts as done once its bytes can have left the wire.

#include <cstdint>
#include <map>
#include <memory>

#include "midi/MidiOutputService.h"
#include "midi/alsa/AlsaPortKind.h"
#include "midi/alsa/AlsaSeq.h"
#include "midi/alsa/CompletionTimer.h"

namespace patchferry::midi::alsa {

inline constexpr const char* kClientName = "Patchferry";
inline constexpr const char* kOutputPortName = "Patchferry out";

class AlsaMidiOutputService final : public MidiOutputService {
  public:
    explicit AlsaMidiOutputService(std::unique_ptr<AlsaSeqLibrary> library);
    ~AlsaMidiOutputService() override;

    // Without access to the sequencer the list is empty and the result says why.
    MidiResult ListPorts(std::vector<MidiOutPortInfo>& ports) override;
    MidiResult Open(const std::string& address, CompletionEvent& event,
                    MidiOutHandle& handle) override;
    void Close(MidiOutHandle handle) override;
    MidiResult Send(MidiOutHandle handle, std::span<const std::uint8_t> message) override;
    MidiResult FinishSend(MidiOutHandle handle) override;
    MidiResult Reset(MidiOutHandle handle) override;
    std::string ErrorText(MidiResult code) override;
    MidiResult BadPortResult() const override;
    MidiResult InvalidHandleResult() const override;

  private:
    struct OpenPort {
        AlsaAddress destination;
        int ownPort = 0;
        bool inFlight = false;  // a message was accepted and not yet finished or reset
        std::unique_ptr<CompletionTimer> timer;
    };

    // Opens our client the first time it is needed; a failed open is tried again next time.
    int UseClient();
    OpenPort* Find(MidiOutHandle handle);
    // Whether a message to the port can arrive whole: our subscription still stands (it goes
    // with the port when the device is unplugged) and no other program is connected to write to
    // it (its events would be cut into ours).
    int CheckDestination(const OpenPort& port);

    std::unique_ptr<AlsaSeqLibrary> library_;
    std::unique_ptr<AlsaSeqClient> client_;
    std::uintptr_t nextHandle_ = 1;
    std::map<std::uintptr_t, OpenPort> open_;  // last: its timers go before the client
};

}  // namespace patchferry::midi::alsa

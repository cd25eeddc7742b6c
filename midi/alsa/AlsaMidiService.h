#pragma once
// MIDI output and input through the ALSA sequencer. One client of our own ("Patchferry"), opened
// on first use and kept, lists the ports and carries both directions: each open port is an output
// port of that client subscribed to the destination (the kernel opens a hardware port's raw MIDI
// device only for a subscriber). A message goes out as one direct SysEx event addressed to the
// destination itself and counts as done once its bytes can have left the wire.
//
// Other programs may be connected to the same port (a desktop's PipeWire bridge subscribes to
// every port as soon as any PipeWire MIDI client is linked; DAWs, monitors, a second Patchferry):
// that alone harms nothing. For a hardware port the kernel's buffer is watched around each
// message (see PortBufferWatch.h): a message is reported sent only when its bytes alone went in,
// all of them; otherwise the failure names the programs connected to write to the port.
//
// An open input is an input port of our client subscribed from the interface's readable port.
// Reading a port that others read too (PipeWire's bridge) is normal: each subscriber gets every
// event. One thread of the service reads the client's events and hands each input's bytes to its
// sink; it runs from the first opened input until the service goes.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "midi/MidiService.h"
#include "midi/alsa/AlsaPortKind.h"
#include "midi/alsa/AlsaResult.h"
#include "midi/alsa/AlsaSeq.h"
#include "midi/alsa/CompletionTimer.h"
#include "midi/alsa/PortBufferWatch.h"

namespace patchferry::midi::alsa {

inline constexpr const char* kClientName = "Patchferry";
inline constexpr const char* kOutputPortName = "Patchferry out";
inline constexpr const char* kInputPortName = "Patchferry in";

class AlsaMidiService final : public MidiService {
  public:
    explicit AlsaMidiService(std::unique_ptr<AlsaSeqLibrary> library);
    ~AlsaMidiService() override;

    // Without access to the sequencer the list is empty and the result says why.
    MidiError ListPorts(std::vector<MidiPortInfo>& ports) override;
    MidiError Open(const std::string& address, CompletionEvent& event,
                   MidiOutHandle& handle) override;
    void Close(MidiOutHandle handle) override;
    MidiError Send(MidiOutHandle handle, std::span<const std::uint8_t> message) override;
    MidiError FinishSend(MidiOutHandle handle) override;
    MidiError Reset(MidiOutHandle handle) override;
    MidiError ErrorFor(MidiErrorCause cause) override;

    MidiError ListInputPorts(std::vector<MidiPortInfo>& ports) override;
    MidiError OpenInput(const std::string& address, MidiInputSink sink,
                        std::unique_ptr<MidiInputConnection>& input) override;

  private:
    class InputConnection;
    struct OpenInputPort {
        int ownPort = 0;
        AlsaAddress source;  // the interface's port we read: events from anyone else are dropped
        MidiInputSink sink;
    };
    void CloseInput(std::uintptr_t key);
    void ReadInputs(const std::stop_token& stop);

    struct OpenPort {
        AlsaAddress destination;
        int ownPort = 0;
        bool inFlight = false;  // a message was accepted and not yet finished or reset
        std::size_t inFlightSize = 0;
        // A hardware port's buffer, and what had entered it before the message in flight.
        std::optional<PortBufferWatch> buffer;
        bool hardware = false;
        bool measured = false;  // enteredBefore was read for the message in flight
        std::uint64_t enteredBefore = 0;
        std::unique_ptr<CompletionTimer> timer;
    };

    // The ports that `classify` finds usable, in the sequencer's order.
    MidiError ListUsable(std::vector<MidiPortInfo>& ports,
                         AlsaPortKind (*classify)(const AlsaPortInfo&, int));
    // Opens our client the first time it is needed; a failed open is tried again next time.
    MidiError UseClient();
    OpenPort* Find(MidiOutHandle handle);
    // Our subscription still stands: it goes with the port when the device is unplugged.
    MidiError CheckConnected(const OpenPort& port);
    // Where the buffer cannot be read: a hardware port takes a message only while no other
    // program is connected to write to it.
    MidiError RefuseBesideOthers(const OpenPort& port);
    // Before a message: waits for the port's buffer to drain and notes what had entered it.
    MidiError PrepareBuffer(OpenPort& port);
    // After a message: whether its bytes alone went into the buffer, all of them.
    MidiError CheckBufferAfter(OpenPort& port);
    // The other programs connected to write to the port, as "NAME (CLIENT:PORT)".
    std::vector<std::string> OtherWriters(const OpenPort& port);
    // Those names for a failure text, or words for none.
    std::string OtherWritersText(const OpenPort& port);
    // alsa-lib's failure `alsaResult` (a negative errno) for `cause`, its text carrying `detail`.
    MidiError Fail(int alsaResult, AlsaCause cause = AlsaCause::None,
                   const std::string& detail = {});

    std::unique_ptr<AlsaSeqLibrary> library_;
    std::unique_ptr<AlsaSeqClient> client_;
    std::uintptr_t nextHandle_ = 1;
    std::map<std::uintptr_t, OpenPort> open_;  // after the client: its timers go before it
    // The open inputs, guarded for the reading thread, which goes first of all.
    std::mutex inputMutex_;
    std::map<std::uintptr_t, OpenInputPort> inputs_;
    std::jthread reader_;
};

}  // namespace patchferry::midi::alsa

#pragma once
// The thin seam between the ALSA output logic and alsa-lib: just the sequencer calls the logic
// makes, each returning alsa-lib's own result (negative errno on failure). The real one lives in
// AlsaSeqLib.cpp; tests put their own in its place.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace patchferry::midi::alsa {

// One sequencer port as the sequencer describes it.
struct AlsaPortInfo {
    int client = 0;
    int port = 0;
    std::string clientName;
    std::string portName;
    unsigned type = 0;        // SND_SEQ_PORT_TYPE_* bits
    unsigned capability = 0;  // SND_SEQ_PORT_CAP_* bits
    int writeUse = 0;         // how many subscriptions write to the port
    int card = -1;            // the sound card of a kernel client, -1 for any other
};

// What arrived at one of our input ports, as the bytes of the wire, and the port that sent it.
// ownPort kAllInputs: for every input port (events were lost, see AlsaSeqClient::ReadInput).
inline constexpr int kAllInputs = -1;
struct AlsaInput {
    int ownPort = kAllInputs;
    std::vector<std::uint8_t> bytes;
    int senderClient = -1;
    int senderPort = -1;
};

// One sequencer client of our own; closing it (destroying the object) drops its ports and
// subscriptions.
class AlsaSeqClient {
  public:
    AlsaSeqClient() = default;
    AlsaSeqClient(const AlsaSeqClient&) = delete;
    AlsaSeqClient& operator=(const AlsaSeqClient&) = delete;
    virtual ~AlsaSeqClient() = default;

    virtual int ClientId() = 0;
    // Every port of every client, in the sequencer's order.
    virtual int ListPorts(std::vector<AlsaPortInfo>& ports) = 0;
    // One port as it is now; fails when there is no such port.
    virtual int PortInfo(int client, int port, AlsaPortInfo& info) = 0;
    // A port that other ports can subscribe to for reading; returns its number or an error.
    virtual int CreateOutputPort(const std::string& name) = 0;
    // A port that takes events (our input): only we subscribe it to a source; other programs
    // can neither connect it nor subscribe to it. Its number or an error.
    virtual int CreateInputPort(const std::string& name) = 0;
    // Deletes one of our ports with its subscriptions.
    virtual int DeletePort(int ownPort) = 0;
    // Subscribes `ownPort` to the destination port.
    virtual int ConnectTo(int ownPort, int client, int port) = 0;
    // Subscribes `ownPort` to read from the source port.
    virtual int ConnectFrom(int ownPort, int client, int port) = 0;
    // 0 while that subscription exists (it goes with the destination port), else an error.
    virtual int CheckConnectedTo(int ownPort, int client, int port) = 0;
    // The ports subscribed to write to that port (ours among them), with their clients' names.
    virtual int WriteSubscribers(int client, int port, std::vector<AlsaPortInfo>& senders) = 0;
    // One SysEx event holding all of `message`, sent at once from `ownPort` to that port alone.
    virtual int SendSysEx(int ownPort, int client, int port,
                          std::span<const std::uint8_t> message) = 0;
    // Drops every event of ours that has not been delivered yet.
    virtual int DropOutput() = 0;
    // Waits up to `timeoutMs` for events at our input ports and hands over all that are there,
    // each turned into its bytes (a long SysEx message comes as several events). When the
    // sequencer had to drop events for lack of room, an undefined status byte (F4) goes to every
    // input in their place, which breaks a SysEx message being joined instead of leaving a gap
    // in it. Called from one thread only (the one that reads); the others may meanwhile use the
    // rest of the client.
    virtual int ReadInput(int timeoutMs, std::vector<AlsaInput>& input) = 0;
};

class AlsaSeqLibrary {
  public:
    AlsaSeqLibrary() = default;
    AlsaSeqLibrary(const AlsaSeqLibrary&) = delete;
    AlsaSeqLibrary& operator=(const AlsaSeqLibrary&) = delete;
    virtual ~AlsaSeqLibrary() = default;

    // Opens the sequencer for output and input as a client called `name`.
    virtual int OpenClient(const std::string& name, std::unique_ptr<AlsaSeqClient>& client) = 0;
    // alsa-lib's text for one of its result codes.
    virtual std::string ErrorText(int code) = 0;
    // The text of one of the kernel's status files (under /proc/asound); a negative errno when it
    // cannot be read.
    virtual int ReadStatusFile(const std::string& path, std::string& text) = 0;
};

// The real alsa-lib.
std::unique_ptr<AlsaSeqLibrary> CreateAlsaSeqLibrary();

}  // namespace patchferry::midi::alsa

#include "midi/alsa/AlsaMidiService.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>
#include <utility>

#include "midi/SendLongMessage.h"
#include "midi/alsa/AlsaResult.h"
#include "midi/alsa/SysExPacing.h"

namespace patchferry::midi::alsa {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

// A sequencer as the kernel behaves, reduced to what the backend relies on: subscriptions go with
// the port they lead to, an event for a port that is gone fails with -ENOENT, and a hardware port
// takes events only while someone subscribes to it (-ENODEV otherwise).
struct SeqScript {
    int openResult = 0;
    int connectResult = 0;
    int nextClientId = 130;
    std::vector<AlsaPortInfo> ports;                    // writeUse: subscriptions of other programs
    std::set<std::tuple<int, int, int>> subscriptions;  // own port -> client:port
    std::vector<std::string> calls;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> delivered;  // to whom, what
    std::function<void()> duringSend;        // what happens while a message is on its way
    std::vector<AlsaPortInfo> otherWriters;  // connected to write to 24:0
    std::set<std::tuple<int, int, int>> readSubscriptions;  // own port <- client:port

    // Events waiting at our input ports, read by the service's own thread.
    std::mutex inputMutex;
    std::deque<AlsaInput> arriving;
    // By default from the interface's readable port 24:1, as the kernel stamps its events.
    void Arrive(int ownPort, std::vector<std::uint8_t> bytes, AlsaAddress sender = {24, 1}) {
        const std::lock_guard lock(inputMutex);
        arriving.push_back({ownPort, std::move(bytes), sender.client, sender.port});
    }

    // The output buffer behind 24:0 as /proc/asound/card2/midi0 shows it. What goes in is
    // handed on at once unless `stuck` holds it.
    struct {
        bool readable = true;
        bool stuck = false;
        std::uint64_t tx = 0;
        std::size_t pending = 0;
        std::size_t dropNext = 0;               // bytes of the next message that find no room
        std::chrono::milliseconds readTime{0};  // how long a reading takes (a busy machine)
    } buffer;
    void Write(std::size_t bytes) { (buffer.stuck ? buffer.pending : buffer.tx) += bytes; }
    std::string StatusText() const {
        return "UM-ONE\n\nOutput 0\n  Tx bytes     : " + std::to_string(buffer.tx) +
               "\n  Owner PID    : 0\n  Mode         : native\n  Buffer size  : 4096\n"
               "  Avail        : " +
               std::to_string(4096 - buffer.pending) + "\nInput 0\n  Rx bytes     : 0\n";
    }

    AlsaPortInfo* Find(int client, int port) {
        const auto it = std::find_if(ports.begin(), ports.end(), [&](const AlsaPortInfo& p) {
            return p.client == client && p.port == port;
        });
        return it == ports.end() ? nullptr : &*it;
    }
    int OurUse(int client, int port) const {
        return static_cast<int>(std::count_if(
            subscriptions.begin(), subscriptions.end(),
            [&](const auto& s) { return std::get<1>(s) == client && std::get<2>(s) == port; }));
    }
    void Unplug(int client, int port) {
        std::erase_if(ports,
                      [&](const AlsaPortInfo& p) { return p.client == client && p.port == port; });
        std::erase_if(subscriptions, [&](const auto& s) {
            return std::get<1>(s) == client && std::get<2>(s) == port;
        });
    }
};

class ScriptedClient final : public AlsaSeqClient {
  public:
    ScriptedClient(SeqScript& script, int id) : script_(script), id_(id) {}
    ~ScriptedClient() override { script_.calls.push_back("close " + std::to_string(id_)); }
    ScriptedClient(const ScriptedClient&) = delete;
    ScriptedClient& operator=(const ScriptedClient&) = delete;

    int ClientId() override { return id_; }
    int ListPorts(std::vector<AlsaPortInfo>& ports) override {
        ports.clear();
        for (const AlsaPortInfo& port : script_.ports) {
            ports.push_back(WithUse(port));
        }
        return 0;
    }
    int PortInfo(int client, int port, AlsaPortInfo& info) override {
        const AlsaPortInfo* found = script_.Find(client, port);
        if (found == nullptr) {
            return -ENOENT;
        }
        info = WithUse(*found);
        return 0;
    }
    int CreateOutputPort(const std::string& name) override {
        script_.calls.push_back("port " + name);
        return nextPort_++;
    }
    int CreateInputPort(const std::string& name) override {
        script_.calls.push_back("port " + name);
        return nextPort_++;
    }
    int DeletePort(int ownPort) override {
        script_.calls.push_back("delete " + std::to_string(ownPort));
        std::erase_if(script_.subscriptions,
                      [&](const auto& s) { return std::get<0>(s) == ownPort; });
        std::erase_if(script_.readSubscriptions,
                      [&](const auto& s) { return std::get<0>(s) == ownPort; });
        return 0;
    }
    int ConnectFrom(int ownPort, int client, int port) override {
        script_.calls.push_back("connect " + std::to_string(ownPort) + " <- " +
                                AlsaAddressText(client, port));
        script_.readSubscriptions.insert({ownPort, client, port});
        return 0;
    }
    int ReadInput(int timeoutMs, std::vector<AlsaInput>& input) override {
        input.clear();
        {
            const std::lock_guard lock(script_.inputMutex);
            input.assign(script_.arriving.begin(), script_.arriving.end());
            script_.arriving.clear();
        }
        if (input.empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs) / 10);
        }
        return 0;
    }
    int ConnectTo(int ownPort, int client, int port) override {
        script_.calls.push_back("connect " + std::to_string(ownPort) + " -> " +
                                AlsaAddressText(client, port));
        if (script_.connectResult < 0) {
            return script_.connectResult;
        }
        script_.subscriptions.insert({ownPort, client, port});
        return 0;
    }
    int CheckConnectedTo(int ownPort, int client, int port) override {
        return script_.subscriptions.count({ownPort, client, port}) != 0 ? 0 : -ENOENT;
    }
    int WriteSubscribers(int client, int port, std::vector<AlsaPortInfo>& senders) override {
        senders.clear();
        for (const auto& [own, toClient, toPort] : script_.subscriptions) {
            if (toClient == client && toPort == port) {
                senders.push_back({id_, own, "Patchferry", "Patchferry out", 0, 0, 0});
            }
        }
        if (client == 24 && port == 0) {
            senders.insert(senders.end(), script_.otherWriters.begin(), script_.otherWriters.end());
        }
        return 0;
    }
    int SendSysEx(int /*ownPort*/, int client, int port,
                  std::span<const std::uint8_t> message) override {
        const std::string to = AlsaAddressText(client, port);
        script_.calls.push_back("sysex " + to + " " + std::to_string(message.size()));
        const AlsaPortInfo* found = script_.Find(client, port);
        if (found == nullptr) {
            return -ENOENT;
        }
        if (WithUse(*found).writeUse == 0) {
            return -ENODEV;
        }
        script_.delivered.emplace_back(to,
                                       std::vector<std::uint8_t>(message.begin(), message.end()));
        if (to == "24:0") {
            script_.Write(message.size() - std::exchange(script_.buffer.dropNext, 0));
        }
        if (script_.duringSend) {
            script_.duringSend();
        }
        return static_cast<int>(message.size());
    }
    int DropOutput() override {
        script_.calls.push_back("drop");
        return 0;
    }

  private:
    AlsaPortInfo WithUse(AlsaPortInfo port) const {
        port.writeUse += script_.OurUse(port.client, port.port);
        return port;
    }

    SeqScript& script_;
    int id_;
    int nextPort_ = 0;
};

class ScriptedLibrary final : public AlsaSeqLibrary {
  public:
    explicit ScriptedLibrary(SeqScript& script) : script_(script) {}
    int OpenClient(const std::string& name, std::unique_ptr<AlsaSeqClient>& client) override {
        script_.calls.push_back("open " + name);
        if (script_.openResult < 0) {
            return script_.openResult;
        }
        client = std::make_unique<ScriptedClient>(script_, script_.nextClientId++);
        return 0;
    }
    std::string ErrorText(int code) override { return snd_strerror(code); }
    int ReadStatusFile(const std::string& path, std::string& text) override {
        if (path != "/proc/asound/card2/midi0" || !script_.buffer.readable) {
            return -ENOENT;
        }
        std::this_thread::sleep_for(script_.buffer.readTime);
        text = script_.StatusText();
        return 0;
    }

  private:
    SeqScript& script_;
};

AlsaPortInfo Port(int client, int port, std::string clientName, std::string portName, unsigned type,
                  unsigned capability) {
    return {client, port, std::move(clientName), std::move(portName), type, capability, 0, -1};
}

constexpr unsigned kWritable =
    SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE | SND_SEQ_PORT_CAP_READ;
constexpr unsigned kHardwareType =
    SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE | SND_SEQ_PORT_TYPE_PORT;

const std::vector<std::uint8_t> kDump(2052, 0x00);  // 657 ms on the wire
const std::vector<std::uint8_t> kShort(64, 0x00);   // 20 ms

class AlsaMidiServiceTest : public ::testing::Test {
  protected:
    AlsaMidiServiceTest() : service_(std::make_unique<ScriptedLibrary>(script_)) {
        script_.ports = {
            Port(0, 1, "System", "Announce", 0, SND_SEQ_PORT_CAP_READ),
            Port(14, 0, "Midi Through", "Midi Through Port-0",
                 SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SOFTWARE |
                     SND_SEQ_PORT_TYPE_PORT,
                 kWritable),
            Port(24, 0, "UM-ONE", "UM-ONE MIDI 1", kHardwareType, kWritable),
            Port(24, 1, "UM-ONE", "UM-ONE MIDI In", kHardwareType,
                 SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ),
        };
        script_.ports[2].card = 2;
    }

    // The UM-ONE, opened through the port as the window and the command line do.
    void OpenUmOne(MidiOutPort& port) {
        ASSERT_TRUE(port.Open({"UM-ONE: UM-ONE MIDI 1", true, "24:0"}).Ok());
    }

    SeqScript script_;
    AlsaMidiService service_;
};

TEST_F(AlsaMidiServiceTest, ListsOutputPortsWithKindAndAddressThroughOneLastingClient) {
    std::vector<MidiPortInfo> ports;
    ASSERT_TRUE(service_.ListPorts(ports).Ok());
    ASSERT_EQ(ports.size(), 2U);
    EXPECT_EQ(ports[0].name, "Midi Through: Midi Through Port-0");
    EXPECT_FALSE(ports[0].hardwarePort);
    EXPECT_EQ(ports[0].address, "14:0");
    EXPECT_EQ(ports[1].name, "UM-ONE: UM-ONE MIDI 1");
    EXPECT_TRUE(ports[1].hardwarePort);
    EXPECT_EQ(ports[1].address, "24:0");

    ASSERT_TRUE(service_.ListPorts(ports).Ok());
    MidiOutPort port(service_);
    OpenUmOne(port);
    port.Close();
    // Other programs see one client, not one per list.
    EXPECT_THAT(script_.calls, ElementsAre("open Patchferry", "port Patchferry out",
                                           "connect 0 -> 24:0", "drop", "delete 0"));
}

TEST_F(AlsaMidiServiceTest, NoSequencerOrNoAccessToItIsSaidByTheListAndTheOpen) {
    script_.openResult = -ENOENT;
    std::vector<MidiPortInfo> ports;
    EXPECT_EQ(service_.ListPorts(ports).Text(),
              "No such file or directory: the ALSA sequencer is not available (/dev/snd/seq is "
              "missing)");

    script_.openResult = -EACCES;
    const MidiError listed = service_.ListPorts(ports);
    EXPECT_TRUE(
        listed.Text().starts_with("Permission denied: this user may not use the ALSA sequencer"));
    EXPECT_TRUE(ports.empty());
    MidiOutPort port(service_);
    EXPECT_EQ(port.Open({"UM-ONE: UM-ONE MIDI 1", true, "24:0"}), listed);
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    EXPECT_EQ(service_.Open("24:0", event, handle), listed);

    script_.openResult = 0;  // access granted: the next list gets through
    EXPECT_TRUE(service_.ListPorts(ports).Ok());
    EXPECT_EQ(ports.size(), 2U);
}

TEST_F(AlsaMidiServiceTest, OpensOnlyAnAddressThatTakesOurOutput) {
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    for (const char* address : {"99:0", "24:1", "0:1", "130:0", "24", "24:x", ""}) {
        EXPECT_EQ(service_.Open(address, event, handle),
                  service_.ErrorFor(MidiErrorCause::NoSuchPort))
            << address;
        EXPECT_EQ(handle, MidiOutHandle::Null);
    }
    EXPECT_TRUE(service_.ErrorFor(MidiErrorCause::NoSuchPort)
                    .Text()
                    .starts_with("No such device: there is no such MIDI output port now"));
    script_.connectResult = -EPERM;
    const MidiError refused = service_.Open("24:0", event, handle);
    EXPECT_EQ(refused.Code(), -EPERM);
    EXPECT_EQ(refused.Text(), "Operation not permitted");
    EXPECT_EQ(script_.calls.back(), "delete 0");  // the half-made port does not linger
}

TEST_F(AlsaMidiServiceTest, SendsToThePortItselfAndCompletesAfterTheWireTime) {
    MidiOutPort port(service_);
    OpenUmOne(port);
    const auto start = std::chrono::steady_clock::now();
    const SendOutcome outcome = SendLongMessage(port, kDump, 5s);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(outcome.Succeeded()) << outcome.errorText;
    EXPECT_GE(took, SysExTransmissionTime(kDump.size()));
    ASSERT_EQ(script_.delivered.size(), 1U);
    EXPECT_EQ(script_.delivered[0].first, "24:0");
    EXPECT_EQ(script_.delivered[0].second, kDump);
}

TEST_F(AlsaMidiServiceTest, AfterAnUnplugNothingGoesOutNotEvenToADeviceWithTheSameNumber) {
    MidiOutPort port(service_);
    OpenUmOne(port);
    script_.Unplug(24, 0);
    SendOutcome outcome = SendLongMessage(port, kShort, 5s);
    const MidiError gone = outcome.error;
    EXPECT_EQ(gone.Cause(), MidiErrorCause::PortGone);  // not the same cause as no such port
    EXPECT_EQ(outcome.errorText,
              "No such device: the MIDI port is no longer there: the interface was unplugged or "
              "the port was removed");

    // Another interface takes the number over, and a program of its own listens to it.
    script_.ports.push_back(
        Port(24, 0, "Other Interface", "Other Interface MIDI 1", kHardwareType, kWritable));
    script_.ports.back().writeUse = 1;
    outcome = SendLongMessage(port, kShort, 5s);
    EXPECT_EQ(outcome.error, gone);
    EXPECT_TRUE(script_.delivered.empty());

    // The UM-ONE comes back as client 28: opening it by its name finds it there.
    script_.ports.push_back(Port(28, 0, "UM-ONE", "UM-ONE MIDI 1", kHardwareType, kWritable));
    OpenUmOne(port);
    EXPECT_TRUE(SendLongMessage(port, kShort, 5s).Succeeded());
    ASSERT_EQ(script_.delivered.size(), 1U);
    EXPECT_EQ(script_.delivered[0].first, "28:0");
}

TEST_F(AlsaMidiServiceTest, UnplugWhileTheDumpIsOnItsWayIsAFailure) {
    MidiOutPort port(service_);
    OpenUmOne(port);
    script_.duringSend = [this] { script_.Unplug(24, 0); };
    const SendOutcome outcome = SendLongMessage(port, kShort, 5s);
    EXPECT_FALSE(outcome.Succeeded());
    EXPECT_NE(outcome.errorText.find("no longer there"), std::string::npos);
}

// Programs that are connected but quiet harm nothing: the dump goes out and is reported sent.
TEST_F(AlsaMidiServiceTest, OtherProgramsConnectedButQuietLeaveTheDumpWhole) {
    script_.otherWriters = {Port(143, 0, "PipeWire-RT-Event", "input", 0, 0),
                            Port(129, 0, "aseqdump", "aseqdump", 0, 0)};
    script_.Find(24, 0)->writeUse = 2;
    MidiOutPort port(service_);
    OpenUmOne(port);
    script_.buffer.tx = 500;  // what went out before
    EXPECT_TRUE(SendLongMessage(port, kDump, 5s).Succeeded());
    EXPECT_EQ(script_.buffer.tx, 500 + kDump.size());
}

// On a loaded machine two readings of the buffer may lie further apart than the time its bytes
// need to drain: an empty, quiet buffer must still be taken as empty.
TEST_F(AlsaMidiServiceTest, AQuietPortOnABusyMachineStillTakesTheDump) {
    script_.otherWriters = {Port(143, 0, "PipeWire-RT-Event", "input", 0, 0)};
    script_.Find(24, 0)->writeUse = 2;
    script_.buffer.readTime = 30ms;
    MidiOutPort port(service_);
    OpenUmOne(port);
    for (int send = 0; send < 3; ++send) {
        const auto result = SendLongMessage(port, kDump, 5s);
        EXPECT_TRUE(result.Succeeded()) << result.errorText;
    }
    EXPECT_EQ(script_.buffer.tx, 3 * kDump.size());
}

// The kernel puts another writer's bytes between the pieces of ours, and drops pieces that find
// no room: a dump that may have been cut is never reported as sent, and the text names who else
// writes to the port.
TEST_F(AlsaMidiServiceTest, BytesOfAnotherWriterDuringTheDumpOrDroppedBytesFailTheSend) {
    script_.otherWriters = {Port(143, 0, "PipeWire-RT-Event", "input", 0, 0),
                            Port(129, 0, "aplaymidi", "aplaymidi", 0, 0)};
    MidiOutPort port(service_);
    OpenUmOne(port);
    script_.duringSend = [this] { script_.Write(3); };
    SendOutcome outcome = SendLongMessage(port, kDump, 5s);
    EXPECT_FALSE(outcome.Succeeded());
    EXPECT_EQ(outcome.errorText,
              "Device or resource busy: sent, but another program wrote to the MIDI port at the "
              "same time, so the dump may have arrived broken: 3 other bytes went into the "
              "port's buffer; connected to write to the port: PipeWire-RT-Event (143:0), "
              "aplaymidi (129:0)");
    const MidiError interfered = outcome.error;

    script_.duringSend = nullptr;
    script_.buffer.dropNext = 100;
    outcome = SendLongMessage(port, kDump, 5s);
    EXPECT_TRUE(outcome.errorText.starts_with(
        "No buffer space available: the port's buffer in the kernel was full and part of the "
        "dump was dropped: 100 of its 2052 bytes never went in"))
        << outcome.errorText;

    // Another program's bytes that never drain: ours would wait behind them or be cut.
    script_.buffer.stuck = true;
    script_.Write(64);
    const auto delivered = script_.delivered.size();
    outcome = SendLongMessage(port, kShort, 5s);
    EXPECT_TRUE(outcome.errorText.starts_with(
        "Device or resource busy: another program's MIDI data was still waiting to go out"))
        << outcome.errorText;
    EXPECT_NE(outcome.errorText.find("64 bytes were waiting"), std::string::npos);
    EXPECT_NE(outcome.error, interfered);
    EXPECT_EQ(script_.delivered.size(), delivered);

    // A writer that is not connected cannot be named, and the text says so.
    script_.buffer = {};
    script_.otherWriters.clear();
    script_.duringSend = [this] { script_.Write(3); };
    outcome = SendLongMessage(port, kShort, 5s);
    EXPECT_NE(outcome.errorText.find("cannot be named"), std::string::npos);
    // A later failure of the same cause leaves the words of the first as they were.
    EXPECT_EQ(outcome.error.Cause(), interfered.Cause());
    EXPECT_NE(interfered.Text().find("aplaymidi (129:0)"), std::string::npos);
}

// Where the buffer cannot be watched, a dump goes only while no other program is connected.
TEST_F(AlsaMidiServiceTest, WithoutTheBufferToWatchAnotherConnectedProgramFailsTheSend) {
    script_.buffer.readable = false;
    MidiOutPort port(service_);
    OpenUmOne(port);
    EXPECT_TRUE(SendLongMessage(port, kShort, 5s).Succeeded());
    script_.otherWriters = {Port(129, 0, "aplaymidi", "aplaymidi", 0, 0)};
    const SendOutcome outcome = SendLongMessage(port, kShort, 5s);
    EXPECT_NE(outcome.errorText.find("cannot be watched"), std::string::npos);
    EXPECT_NE(outcome.errorText.find("aplaymidi (129:0)"), std::string::npos);
    EXPECT_EQ(script_.delivered.size(), 1U);
}

TEST_F(AlsaMidiServiceTest, RefusesWhatTheKernelWouldCutShort) {
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    ASSERT_TRUE(service_.Open("24:0", event, handle).Ok());
    const std::vector<std::uint8_t> tooLong(kKernelMidiBufferSize + 1, 0x00);
    EXPECT_EQ(service_.Send(handle, tooLong).Cause(), MidiErrorCause::TooLong);

    // A second message while the first may still fill the kernel's buffer.
    ASSERT_TRUE(service_.Send(handle, kDump).Ok());
    const MidiError busy = service_.Send(handle, kDump);
    EXPECT_EQ(busy.Text(),
              "Device or resource busy: the previous dump is still going out to the MIDI port");
    ASSERT_TRUE(service_.Reset(handle).Ok());  // gives up on the first: no completion comes
    EXPECT_EQ(event.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(
                  CompletionDelay(kDump.size()))),
              CompletionEvent::WaitResult::TimedOut);
    EXPECT_TRUE(service_.FinishSend(handle).Ok());
    EXPECT_TRUE(service_.Send(handle, kDump).Ok());  // and the port takes messages again
    EXPECT_EQ(script_.delivered.size(), 2U);
    service_.Close(handle);
    EXPECT_EQ(service_.Send(handle, kDump).Text(),
              "Bad file descriptor: the MIDI port is not open");
}

// The real backend on a machine without a sequencer: the list and the open say why.
TEST(AlsaSystemBackendTest, WithoutASequencerTheListAndTheOpenSayWhy) {
    if (std::filesystem::exists("/dev/snd/seq")) {
        GTEST_SKIP() << "this machine has a sequencer";
    }
    const std::unique_ptr<MidiOutputService> service = CreateSystemMidiOutputService();
    std::vector<MidiPortInfo> ports;
    const MidiError listed = service->ListPorts(ports);
    EXPECT_TRUE(listed.Failed());
    EXPECT_TRUE(ports.empty());
    EXPECT_TRUE(listed.Text().ends_with("(/dev/snd/seq is missing)")) << listed.Text();
    MidiOutPort port(*service);
    EXPECT_EQ(port.Open({"UM-ONE: UM-ONE MIDI 1", true, "24:0"}), listed);
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace patchferry::midi::alsa

namespace patchferry::midi::alsa {
namespace {

// What an input's sink got, for a test to wait on.
struct Received {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::uint8_t> bytes;

    MidiInputSink Sink() {
        return [this](std::span<const std::uint8_t> piece) {
            const std::lock_guard lock(mutex);
            bytes.insert(bytes.end(), piece.begin(), piece.end());
            changed.notify_all();
        };
    }
    std::vector<std::uint8_t> WaitFor(std::size_t count) {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, 5s, [&] { return bytes.size() >= count; });
        return bytes;
    }
};

TEST_F(AlsaMidiServiceTest, ListsTheReadablePortsAsInputsWithTheOutputsFilter) {
    script_.ports.push_back(Port(130, 0, "Patchferry", "Patchferry out", 0,
                                 SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ));
    script_.ports.push_back(Port(128, 0, "Keyboard app", "out",
                                 SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SOFTWARE,
                                 SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ));
    std::vector<MidiPortInfo> inputs;
    ASSERT_TRUE(service_.ListInputPorts(inputs).Ok());
    // System's announcements, ports that cannot be read by a subscriber and our own are no
    // inputs; a program's port is one, not a hardware one.
    ASSERT_EQ(inputs.size(), 2U);
    EXPECT_EQ(inputs[0].name, "UM-ONE: UM-ONE MIDI In");
    EXPECT_TRUE(inputs[0].hardwarePort);
    EXPECT_EQ(inputs[0].address, "24:1");
    EXPECT_EQ(inputs[1].address, "128:0");
    EXPECT_FALSE(inputs[1].hardwarePort);
}

TEST_F(AlsaMidiServiceTest, AnOpenInputReadsItsPortBesideTheOutputUntilItIsDestroyed) {
    MidiOutPort output(service_);
    OpenUmOne(output);
    Received received;
    std::unique_ptr<MidiInputConnection> input;
    ASSERT_TRUE(service_.OpenInput("24:1", received.Sink(), input).Ok());
    ASSERT_NE(input, nullptr);
    // One client for both directions: the input is a second port of it, subscribed from the
    // interface's readable port.
    EXPECT_THAT(script_.calls,
                ElementsAre("open Patchferry", "port Patchferry out", "connect 0 -> 24:0",
                            "port Patchferry in", "connect 1 <- 24:1"));

    // A long SysEx message in several events, with other events between them: every byte for
    // our port, in order; nothing addressed to another port.
    script_.Arrive(1, {0xF0, 0x42, 0x32});
    script_.Arrive(1, {0xFE});
    script_.Arrive(7, {0x90, 0x3C, 0x40});
    // Another program writing straight to our port, and the interface's other port: neither is
    // the port we read, so neither may land inside the answer.
    script_.Arrive(1, {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}, {129, 0});
    script_.Arrive(1, {0x90, 0x3C, 0x40}, {24, 0});
    script_.Arrive(1, {0x58, 0x4C, 0xF7});
    // Events the sequencer had to drop stand as a byte that breaks a message being joined.
    script_.Arrive(kAllInputs, {0xF4});
    EXPECT_EQ(received.WaitFor(8),
              (std::vector<std::uint8_t>{0xF0, 0x42, 0x32, 0xFE, 0x58, 0x4C, 0xF7, 0xF4}));

    input.reset();
    EXPECT_EQ(script_.calls.back(), "delete 1");
    EXPECT_TRUE(script_.readSubscriptions.empty());
    script_.Arrive(1, {0xF0, 0xF7});
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(received.WaitFor(0).size(), 8U);  // nothing after the close
    EXPECT_TRUE(output.IsOpen());               // the output is untouched
}

TEST_F(AlsaMidiServiceTest, OpensOnlyAnAddressThatCanBeRead) {
    Received received;
    std::unique_ptr<MidiInputConnection> input;
    for (const std::string address : {"24:0", "99:0", "0:1", "nonsense"}) {
        const MidiError result = service_.OpenInput(address, received.Sink(), input);
        EXPECT_EQ(result.Cause(), MidiErrorCause::NoSuchPort) << address;
        EXPECT_EQ(input, nullptr);
    }
    EXPECT_EQ(service_.OpenInput("99:0", received.Sink(), input).Text(),
              "No such device: there is no such MIDI input port now (the interface is unplugged, "
              "or the program that made the port has ended)");
}

}  // namespace
}  // namespace patchferry::midi::alsa

#include "midi/alsa/AlsaMidiOutputService.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>
#include <tuple>

#include "midi/SendLongMessage.h"
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
    std::function<void()> duringSend;  // what happens while a message is on its way

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
    int DeletePort(int ownPort) override {
        script_.calls.push_back("delete " + std::to_string(ownPort));
        std::erase_if(script_.subscriptions,
                      [&](const auto& s) { return std::get<0>(s) == ownPort; });
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

  private:
    SeqScript& script_;
};

AlsaPortInfo Port(int client, int port, std::string clientName, std::string portName, unsigned type,
                  unsigned capability) {
    return {client, port, std::move(clientName), std::move(portName), type, capability, 0};
}

constexpr unsigned kWritable =
    SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE | SND_SEQ_PORT_CAP_READ;
constexpr unsigned kHardwareType =
    SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE | SND_SEQ_PORT_TYPE_PORT;

const std::vector<std::uint8_t> kDump(2052, 0x00);  // 657 ms on the wire
const std::vector<std::uint8_t> kShort(64, 0x00);   // 20 ms

class AlsaMidiOutputServiceTest : public ::testing::Test {
  protected:
    AlsaMidiOutputServiceTest() : service_(std::make_unique<ScriptedLibrary>(script_)) {
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
    }

    // The UM-ONE, opened through the port as the window and the command line do.
    void OpenUmOne(MidiOutPort& port) {
        ASSERT_EQ(port.Open({"UM-ONE: UM-ONE MIDI 1", true, "24:0"}), kMidiOk);
    }

    SeqScript script_;
    AlsaMidiOutputService service_;
};

TEST_F(AlsaMidiOutputServiceTest, ListsOutputPortsWithKindAndAddressThroughOneLastingClient) {
    std::vector<MidiOutPortInfo> ports;
    ASSERT_EQ(service_.ListPorts(ports), kMidiOk);
    ASSERT_EQ(ports.size(), 2U);
    EXPECT_EQ(ports[0].name, "Midi Through: Midi Through Port-0");
    EXPECT_FALSE(ports[0].hardwarePort);
    EXPECT_EQ(ports[0].address, "14:0");
    EXPECT_EQ(ports[1].name, "UM-ONE: UM-ONE MIDI 1");
    EXPECT_TRUE(ports[1].hardwarePort);
    EXPECT_EQ(ports[1].address, "24:0");

    ASSERT_EQ(service_.ListPorts(ports), kMidiOk);
    MidiOutPort port(service_);
    OpenUmOne(port);
    port.Close();
    // Other programs see one client, not one per list.
    EXPECT_THAT(script_.calls, ElementsAre("open Patchferry", "port Patchferry out",
                                           "connect 0 -> 24:0", "drop", "delete 0"));
}

TEST_F(AlsaMidiOutputServiceTest, NoAccessToTheSequencerIsSaidByTheListAndTheOpen) {
    script_.openResult = -EACCES;
    std::vector<MidiOutPortInfo> ports;
    const MidiResult listed = service_.ListPorts(ports);
    EXPECT_EQ(listed, -EACCES);
    EXPECT_EQ(service_.ErrorText(listed), "Permission denied");
    EXPECT_TRUE(ports.empty());
    MidiOutPort port(service_);
    EXPECT_EQ(port.Open({"UM-ONE: UM-ONE MIDI 1", true, "24:0"}), -EACCES);
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    EXPECT_EQ(service_.Open("24:0", event, handle), -EACCES);

    script_.openResult = 0;  // access granted: the next list gets through
    EXPECT_EQ(service_.ListPorts(ports), kMidiOk);
    EXPECT_EQ(ports.size(), 2U);
}

TEST_F(AlsaMidiOutputServiceTest, OpensOnlyAnAddressThatTakesOurOutput) {
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    for (const char* address : {"99:0", "24:1", "0:1", "130:0", "24", "24:x", ""}) {
        EXPECT_EQ(service_.Open(address, event, handle), -ENODEV) << address;
        EXPECT_EQ(handle, MidiOutHandle::Null);
    }
    script_.connectResult = -EPERM;
    const MidiResult refused = service_.Open("24:0", event, handle);
    EXPECT_EQ(refused, -EPERM);
    EXPECT_EQ(service_.ErrorText(refused), "Operation not permitted");
    EXPECT_EQ(script_.calls.back(), "delete 0");  // the half-made port does not linger
}

TEST_F(AlsaMidiOutputServiceTest, SendsToThePortItselfAndCompletesAfterTheWireTime) {
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

TEST_F(AlsaMidiOutputServiceTest, AfterAnUnplugNothingGoesOutNotEvenToADeviceWithTheSameNumber) {
    MidiOutPort port(service_);
    OpenUmOne(port);
    script_.Unplug(24, 0);
    SendOutcome outcome = SendLongMessage(port, kShort, 5s);
    EXPECT_EQ(outcome.result, -ENODEV);
    EXPECT_EQ(outcome.errorText, "No such device");

    // Another interface takes the number over, and a program of its own listens to it.
    script_.ports.push_back(
        Port(24, 0, "Other Interface", "Other Interface MIDI 1", kHardwareType, kWritable));
    script_.ports.back().writeUse = 1;
    outcome = SendLongMessage(port, kShort, 5s);
    EXPECT_EQ(outcome.result, -ENODEV);
    EXPECT_TRUE(script_.delivered.empty());

    // The UM-ONE comes back as client 28: opening it by its name finds it there.
    script_.ports.push_back(Port(28, 0, "UM-ONE", "UM-ONE MIDI 1", kHardwareType, kWritable));
    OpenUmOne(port);
    EXPECT_TRUE(SendLongMessage(port, kShort, 5s).Succeeded());
    ASSERT_EQ(script_.delivered.size(), 1U);
    EXPECT_EQ(script_.delivered[0].first, "28:0");
}

TEST_F(AlsaMidiOutputServiceTest, UnplugWhileTheDumpIsOnItsWayIsAFailure) {
    MidiOutPort port(service_);
    OpenUmOne(port);
    script_.duringSend = [this] { script_.Unplug(24, 0); };
    const SendOutcome outcome = SendLongMessage(port, kShort, 5s);
    EXPECT_FALSE(outcome.Succeeded());
    EXPECT_EQ(outcome.result, -ENODEV);
}

// The kernel cuts the events of two writers into each other, or drops what does not fit: a dump
// that may have been cut is never reported as sent.
TEST_F(AlsaMidiOutputServiceTest, AnotherProgramWritingToThePortFailsTheSend) {
    MidiOutPort port(service_);
    OpenUmOne(port);
    script_.Find(24, 0)->writeUse = 1;
    SendOutcome outcome = SendLongMessage(port, kShort, 5s);
    EXPECT_EQ(outcome.result, -EBUSY);
    EXPECT_EQ(outcome.errorText, "Device or resource busy");
    EXPECT_TRUE(script_.delivered.empty());

    script_.Find(24, 0)->writeUse = 0;
    script_.duringSend = [this] { script_.Find(24, 0)->writeUse = 1; };
    outcome = SendLongMessage(port, kShort, 5s);
    EXPECT_EQ(outcome.result, -EBUSY);
    EXPECT_EQ(script_.delivered.size(), 1U);

    script_.Find(24, 0)->writeUse = 0;
    script_.duringSend = nullptr;
    EXPECT_TRUE(SendLongMessage(port, kShort, 5s).Succeeded());
}

TEST_F(AlsaMidiOutputServiceTest, RefusesWhatTheKernelWouldCutShort) {
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    ASSERT_EQ(service_.Open("24:0", event, handle), kMidiOk);
    const std::vector<std::uint8_t> tooLong(kKernelMidiBufferSize + 1, 0x00);
    EXPECT_EQ(service_.Send(handle, tooLong), -EMSGSIZE);

    // A second message while the first may still fill the kernel's buffer.
    ASSERT_EQ(service_.Send(handle, kDump), kMidiOk);
    EXPECT_EQ(service_.Send(handle, kDump), -EBUSY);
    ASSERT_EQ(service_.Reset(handle), kMidiOk);  // gives up on the first: no completion comes
    EXPECT_EQ(event.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(
                  CompletionDelay(kDump.size()))),
              CompletionEvent::WaitResult::TimedOut);
    EXPECT_EQ(service_.FinishSend(handle), kMidiOk);
    EXPECT_EQ(service_.Send(handle, kDump), kMidiOk);  // and the port takes messages again
    EXPECT_EQ(script_.delivered.size(), 2U);
    service_.Close(handle);
    EXPECT_EQ(service_.Send(handle, kDump), -EBADF);
}

// The real backend on a machine without a sequencer: the list and the open say why.
TEST(AlsaSystemBackendTest, WithoutASequencerTheListAndTheOpenSayWhy) {
    if (std::filesystem::exists("/dev/snd/seq")) {
        GTEST_SKIP() << "this machine has a sequencer";
    }
    const std::unique_ptr<MidiOutputService> service = CreateSystemMidiOutputService();
    std::vector<MidiOutPortInfo> ports;
    const MidiResult listed = service->ListPorts(ports);
    EXPECT_NE(listed, kMidiOk);
    EXPECT_TRUE(ports.empty());
    EXPECT_FALSE(service->ErrorText(listed).empty());
    MidiOutPort port(*service);
    EXPECT_EQ(port.Open({"UM-ONE: UM-ONE MIDI 1", true, "24:0"}), listed);
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace patchferry::midi::alsa

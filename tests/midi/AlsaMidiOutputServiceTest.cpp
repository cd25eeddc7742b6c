#include "midi/alsa/AlsaMidiOutputService.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <alsa/asoundlib.h>

#include <cerrno>
#include <filesystem>

#include "midi/SendLongMessage.h"
#include "midi/alsa/SysExPacing.h"

namespace patchferry::midi::alsa {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

// What the scripted sequencer holds and records; shared by the library and its clients.
struct SeqScript {
    int openResult = 0;
    int connectResult = 0;
    int sendResult = 0;
    int nextClientId = 130;
    std::vector<AlsaPortInfo> ports;
    std::vector<std::string> calls;
    std::vector<std::vector<std::uint8_t>> sent;
};

class ScriptedClient final : public AlsaSeqClient {
  public:
    ScriptedClient(SeqScript& script, int id) : script_(script), id_(id) {}
    ~ScriptedClient() override { script_.calls.push_back("close " + std::to_string(id_)); }
    ScriptedClient(const ScriptedClient&) = delete;
    ScriptedClient& operator=(const ScriptedClient&) = delete;

    int ClientId() override { return id_; }
    int ListPorts(std::vector<AlsaPortInfo>& ports) override {
        ports = script_.ports;
        return 0;
    }
    int CreateOutputPort(const std::string& name) override {
        script_.calls.push_back("port " + name);
        return 0;
    }
    int ConnectTo(int ownPort, int client, int port) override {
        script_.calls.push_back("connect " + std::to_string(ownPort) + " -> " +
                                std::to_string(client) + ":" + std::to_string(port));
        return script_.connectResult;
    }
    int SendSysEx(int /*ownPort*/, std::span<const std::uint8_t> message) override {
        script_.calls.push_back("sysex " + std::to_string(message.size()));
        if (script_.sendResult < 0) {
            return script_.sendResult;
        }
        script_.sent.emplace_back(message.begin(), message.end());
        return static_cast<int>(message.size());
    }
    int DropOutput() override {
        script_.calls.push_back("drop");
        return 0;
    }

  private:
    SeqScript& script_;
    int id_;
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
    return {client, port, std::move(clientName), std::move(portName), type, capability};
}

constexpr unsigned kWritable =
    SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE | SND_SEQ_PORT_CAP_READ;

class AlsaMidiOutputServiceTest : public ::testing::Test {
  protected:
    AlsaMidiOutputServiceTest() : service_(std::make_unique<ScriptedLibrary>(script_)) {
        script_.ports = {
            Port(0, 1, "System", "Announce", 0, SND_SEQ_PORT_CAP_READ),
            Port(14, 0, "Midi Through", "Midi Through Port-0",
                 SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SOFTWARE, kWritable),
            Port(24, 0, "UM-ONE", "UM-ONE MIDI 1",
                 SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE, kWritable),
            Port(24, 1, "UM-ONE", "UM-ONE MIDI In", SND_SEQ_PORT_TYPE_HARDWARE,
                 SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ),
        };
    }

    SeqScript script_;
    AlsaMidiOutputService service_;
};

TEST_F(AlsaMidiOutputServiceTest, ListsOutputPortsByNameAndKind) {
    ASSERT_EQ(service_.DeviceCount(), 2U);
    MidiOutCaps caps;
    ASSERT_EQ(service_.DeviceCaps(0, caps), kMidiOk);
    EXPECT_EQ(caps.name, "Midi Through: Midi Through Port-0");
    EXPECT_FALSE(caps.hardwarePort);
    ASSERT_EQ(service_.DeviceCaps(1, caps), kMidiOk);
    EXPECT_EQ(caps.name, "UM-ONE: UM-ONE MIDI 1");
    EXPECT_TRUE(caps.hardwarePort);
    EXPECT_EQ(service_.DeviceCaps(2, caps), -ENODEV);
    // The listing client is gone again once the list is made.
    EXPECT_THAT(script_.calls, ElementsAre("open Patchferry", "close 130"));
}

TEST_F(AlsaMidiOutputServiceTest, OpenSubscribesOurOwnPortToTheDestination) {
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    ASSERT_EQ(service_.Open(handle, 1, event), kMidiOk);
    EXPECT_NE(handle, MidiOutHandle::Null);
    service_.Close(handle);
    EXPECT_THAT(script_.calls,
                ElementsAre("open Patchferry", "close 130", "open Patchferry",
                            "port Patchferry out", "connect 0 -> 24:0", "close 131"));
}

TEST_F(AlsaMidiOutputServiceTest, RefusedSubscriptionIsAnOpenFailureWithItsText) {
    script_.connectResult = -EPERM;
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    const MidiResult result = service_.Open(handle, 1, event);
    EXPECT_EQ(result, -EPERM);
    EXPECT_EQ(handle, MidiOutHandle::Null);
    EXPECT_EQ(service_.ErrorText(result), "Operation not permitted");
    EXPECT_EQ(script_.calls.back(), "close 131");  // the half-made client does not linger
}

TEST_F(AlsaMidiOutputServiceTest, OpenBeyondTheListIsABadDevice) {
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    EXPECT_EQ(service_.Open(handle, 2, event), service_.BadDeviceResult());
    EXPECT_EQ(handle, MidiOutHandle::Null);
}

TEST_F(AlsaMidiOutputServiceTest, CompletesOnlyAfterTheMessageCanHaveLeftTheWire) {
    MidiOutPort port(service_);
    ASSERT_EQ(port.Open(1), kMidiOk);
    const std::vector<std::uint8_t> message(200, 0x00);  // 64 ms on the wire
    const auto start = std::chrono::steady_clock::now();
    const SendOutcome outcome = SendLongMessage(port, message, 5s);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(outcome.result, kMidiOk);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_GE(took, SysExTransmissionTime(message.size()));
    EXPECT_THAT(script_.sent, ElementsAre(message));
}

TEST_F(AlsaMidiOutputServiceTest, DeliveryErrorIsTheSendsResult) {
    script_.sendResult = -ENOSPC;
    MidiOutPort port(service_);
    ASSERT_EQ(port.Open(1), kMidiOk);
    const std::vector<std::uint8_t> message(10, 0x00);
    const SendOutcome outcome = SendLongMessage(port, message, 20ms);
    EXPECT_EQ(outcome.result, -ENOSPC);
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_EQ(outcome.errorText, snd_strerror(-ENOSPC));
    EXPECT_EQ(script_.calls.back(), "drop");  // the reset after the time-out drops our output
}

TEST_F(AlsaMidiOutputServiceTest, RefusesAMessageTheKernelWouldCutShort) {
    MidiOutPort port(service_);
    ASSERT_EQ(port.Open(1), kMidiOk);
    const std::vector<std::uint8_t> message(kKernelMidiBufferSize + 1, 0x00);
    const SendOutcome outcome = SendLongMessage(port, message, 20ms);
    EXPECT_EQ(outcome.result, -EMSGSIZE);
    EXPECT_TRUE(script_.sent.empty());
}

TEST_F(AlsaMidiOutputServiceTest, ResetCancelsThePendingCompletion) {
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    ASSERT_EQ(service_.Open(handle, 1, event), kMidiOk);
    const std::vector<std::uint8_t> message(100, 0x00);  // 32 ms
    LongMessage longMessage(message);
    ASSERT_EQ(service_.PrepareHeader(handle, longMessage), kMidiOk);
    ASSERT_EQ(service_.LongMsg(handle, longMessage), kMidiOk);
    ASSERT_EQ(service_.Reset(handle), kMidiOk);
    EXPECT_EQ(event.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(
                             CompletionDelay(message.size())) *
                         3),
              CompletionEvent::WaitResult::TimedOut);
    service_.Close(handle);
}

TEST_F(AlsaMidiOutputServiceTest, RefusesASecondMessageWhileTheFirstIsStillOnTheWire) {
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    ASSERT_EQ(service_.Open(handle, 1, event), kMidiOk);
    const std::vector<std::uint8_t> message(2052, 0x00);  // 657 ms
    LongMessage first(message);
    LongMessage second(message);
    ASSERT_EQ(service_.PrepareHeader(handle, first), kMidiOk);
    ASSERT_EQ(service_.PrepareHeader(handle, second), kMidiOk);
    ASSERT_EQ(service_.LongMsg(handle, first), kMidiOk);
    EXPECT_EQ(service_.LongMsg(handle, second), -EBUSY);
    ASSERT_EQ(service_.Reset(handle),
              kMidiOk);  // gives up on the first: the port takes messages again
    EXPECT_EQ(service_.LongMsg(handle, second), kMidiOk);
    EXPECT_EQ(script_.sent.size(), 2U);
    service_.Close(handle);
}

TEST_F(AlsaMidiOutputServiceTest, UnknownHandleIsRefused) {
    const std::vector<std::uint8_t> message(3, 0x00);
    LongMessage longMessage(message);
    EXPECT_EQ(service_.PrepareHeader(MidiOutHandle::Null, longMessage), -EBADF);
    EXPECT_EQ(service_.LongMsg(static_cast<MidiOutHandle>(99), longMessage), -EBADF);
    EXPECT_EQ(service_.Reset(MidiOutHandle::Null), -EBADF);
}

TEST_F(AlsaMidiOutputServiceTest, NoSequencerMeansAnEmptyListAndAFailedOpen) {
    script_.openResult = -ENOENT;
    EXPECT_EQ(service_.DeviceCount(), 0U);
    CompletionEvent event;
    MidiOutHandle handle = MidiOutHandle::Null;
    EXPECT_EQ(service_.Open(handle, 0, event), -ENODEV);
}

// The real backend on a machine without a sequencer: nothing listed, open fails with a text.
TEST(AlsaSystemBackendTest, WithoutASequencerListsNothingAndOpenFailsWithAText) {
    if (std::filesystem::exists("/dev/snd/seq")) {
        GTEST_SKIP() << "this machine has a sequencer";
    }
    const std::unique_ptr<MidiOutputService> service = CreateSystemMidiOutputService();
    EXPECT_EQ(service->DeviceCount(), 0U);
    MidiOutPort port(*service);
    const MidiResult result = port.Open(0);
    EXPECT_NE(result, kMidiOk);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.ErrorText(result).empty());
    EXPECT_NE(port.Open(-1), kMidiOk);
}

}  // namespace
}  // namespace patchferry::midi::alsa

// The real sequencer seam over alsa-lib. Every alsa-lib result is passed on as it is; the texts of
// those codes come from snd_strerror, here and nowhere else.

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <vector>

#include <poll.h>

#include "midi/alsa/AlsaPortKind.h"
#include "midi/alsa/AlsaSeq.h"

namespace patchferry::midi::alsa {
namespace {

static_assert(kCapRead == SND_SEQ_PORT_CAP_READ);
static_assert(kCapSubsRead == SND_SEQ_PORT_CAP_SUBS_READ);
static_assert(kCapWrite == SND_SEQ_PORT_CAP_WRITE);
static_assert(kCapSubsWrite == SND_SEQ_PORT_CAP_SUBS_WRITE);
static_assert(kCapNoExport == SND_SEQ_PORT_CAP_NO_EXPORT);
#ifdef SND_SEQ_PORT_CAP_INACTIVE
static_assert(kCapInactive == SND_SEQ_PORT_CAP_INACTIVE);
#endif
static_assert(kTypeSynth == SND_SEQ_PORT_TYPE_SYNTH);
static_assert(kTypeDirectSample == SND_SEQ_PORT_TYPE_DIRECT_SAMPLE);
static_assert(kTypeSample == SND_SEQ_PORT_TYPE_SAMPLE);
static_assert(kTypeHardware == SND_SEQ_PORT_TYPE_HARDWARE);
static_assert(kTypeSoftware == SND_SEQ_PORT_TYPE_SOFTWARE);
static_assert(kTypeSynthesizer == SND_SEQ_PORT_TYPE_SYNTHESIZER);
static_assert(kTypePort == SND_SEQ_PORT_TYPE_PORT);
static_assert(kSystemClient == SND_SEQ_CLIENT_SYSTEM);

// alsa-lib prints its errors to stderr by default; ours reach the user through the result codes.
void QuietErrorHandler(const char* /*file*/, int /*line*/, const char* /*function*/, int /*err*/,
                       const char* /*fmt*/, ...) {}

void SilenceAlsaLib() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(&QuietErrorHandler); });
}

// alsa-lib's opaque records, released with their own free functions.
template <auto Free>
struct Release {
    template <typename Record>
    void operator()(Record* record) const {
        Free(record);
    }
};
using ClientRecord = std::unique_ptr<snd_seq_client_info_t, Release<&snd_seq_client_info_free>>;
using PortRecord = std::unique_ptr<snd_seq_port_info_t, Release<&snd_seq_port_info_free>>;
using SubscriptionRecord =
    std::unique_ptr<snd_seq_port_subscribe_t, Release<&snd_seq_port_subscribe_free>>;
using QueryRecord =
    std::unique_ptr<snd_seq_query_subscribe_t, Release<&snd_seq_query_subscribe_free>>;

template <typename Record, auto Allocate>
int Make(Record& record) {
    typename Record::pointer raw = nullptr;
    const int result = Allocate(&raw);
    record.reset(raw);
    return result;
}

// A client record and a port record, as every query of the ports needs.
int MakeRecords(ClientRecord& client, PortRecord& port) {
    const int result = Make<ClientRecord, &snd_seq_client_info_malloc>(client);
    return result < 0 ? result : Make<PortRecord, &snd_seq_port_info_malloc>(port);
}

void Fill(snd_seq_client_info_t* client, snd_seq_port_info_t* port, AlsaPortInfo& info) {
    info.client = snd_seq_client_info_get_client(client);
    info.port = snd_seq_port_info_get_port(port);
    info.clientName = snd_seq_client_info_get_name(client);
    info.portName = snd_seq_port_info_get_name(port);
    info.type = snd_seq_port_info_get_type(port);
    info.capability = snd_seq_port_info_get_capability(port);
    info.writeUse = snd_seq_port_info_get_write_use(port);
    info.card = snd_seq_client_info_get_card(client);
}

// Stands in for events the sequencer dropped: a status byte that is no message of its own.
constexpr std::uint8_t kLostEvents = 0xF4;
// The longest message other than SysEx is three bytes.
constexpr long kDecodeBuffer = 16;

struct FreeDecoder {
    void operator()(snd_midi_event_t* decoder) const { snd_midi_event_free(decoder); }
};
using Decoder = std::unique_ptr<snd_midi_event_t, FreeDecoder>;

// One input event as the bytes of the wire; nothing for the sequencer's own events.
void AppendEvent(snd_midi_event_t* decoder, const snd_seq_event_t& event,
                 std::vector<AlsaInput>& input) {
    AlsaInput& arrived = input.emplace_back();
    arrived.ownPort = event.dest.port;
    arrived.senderClient = event.source.client;
    arrived.senderPort = event.source.port;
    if (event.type == SND_SEQ_EVENT_SYSEX) {
        const auto* bytes = static_cast<const std::uint8_t*>(event.data.ext.ptr);
        arrived.bytes.assign(bytes, bytes + event.data.ext.len);
    } else if (decoder != nullptr) {
        unsigned char buffer[kDecodeBuffer];
        const long length = snd_midi_event_decode(decoder, buffer, kDecodeBuffer, &event);
        if (length > 0) {
            arrived.bytes.assign(buffer, buffer + length);
        }
    }
    if (arrived.bytes.empty()) {
        input.pop_back();
    }
}

class LibClient final : public AlsaSeqClient {
  public:
    explicit LibClient(snd_seq_t* seq) : seq_(seq) {
        snd_midi_event_t* decoder = nullptr;
        if (snd_midi_event_new(kDecodeBuffer, &decoder) >= 0) {
            decoder_.reset(decoder);
            // Every message with its own status byte: a reader sees where each one starts.
            snd_midi_event_no_status(decoder, 1);
        }
    }
    ~LibClient() override { snd_seq_close(seq_); }
    LibClient(const LibClient&) = delete;
    LibClient& operator=(const LibClient&) = delete;

    int ClientId() override { return snd_seq_client_id(seq_); }

    int ListPorts(std::vector<AlsaPortInfo>& ports) override {
        ports.clear();
        ClientRecord client;
        PortRecord port;
        if (const int result = MakeRecords(client, port); result < 0) {
            return result;
        }
        snd_seq_client_info_set_client(client.get(), -1);
        while (snd_seq_query_next_client(seq_, client.get()) >= 0) {
            snd_seq_port_info_set_client(port.get(), snd_seq_client_info_get_client(client.get()));
            snd_seq_port_info_set_port(port.get(), -1);
            while (snd_seq_query_next_port(seq_, port.get()) >= 0) {
                Fill(client.get(), port.get(), ports.emplace_back());
            }
        }
        return 0;
    }

    int PortInfo(int client, int port, AlsaPortInfo& info) override {
        ClientRecord clientRecord;
        PortRecord portRecord;
        int result = MakeRecords(clientRecord, portRecord);
        if (result >= 0) {
            result = snd_seq_get_any_client_info(seq_, client, clientRecord.get());
        }
        if (result >= 0) {
            result = snd_seq_get_any_port_info(seq_, client, port, portRecord.get());
        }
        if (result >= 0) {
            Fill(clientRecord.get(), portRecord.get(), info);
        }
        return result;
    }

    int CreateOutputPort(const std::string& name) override {
        return snd_seq_create_simple_port(
            seq_, name.c_str(), SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
            SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    }

    int CreateInputPort(const std::string& name) override {
        // Without SUBS_WRITE no other program may subscribe itself to write here, and NO_EXPORT
        // keeps a third (aconnect, a desktop's bridge) from connecting anything to it; our own
        // subscription from the interface needs neither. WRITE stays, since the sequencer
        // delivers only to ports that have it: events sent straight to the port by address are
        // still possible, which is why the reader checks every event's sender.
        return snd_seq_create_simple_port(
            seq_, name.c_str(), SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
            SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    }

    int ConnectFrom(int ownPort, int client, int port) override {
        return snd_seq_connect_from(seq_, ownPort, client, port);
    }

    int DeletePort(int ownPort) override { return snd_seq_delete_simple_port(seq_, ownPort); }

    int ConnectTo(int ownPort, int client, int port) override {
        return snd_seq_connect_to(seq_, ownPort, client, port);
    }

    int CheckConnectedTo(int ownPort, int client, int port) override {
        SubscriptionRecord subscription;
        if (const int result =
                Make<SubscriptionRecord, &snd_seq_port_subscribe_malloc>(subscription);
            result < 0) {
            return result;
        }
        const snd_seq_addr_t sender{static_cast<unsigned char>(snd_seq_client_id(seq_)),
                                    static_cast<unsigned char>(ownPort)};
        const snd_seq_addr_t dest{static_cast<unsigned char>(client),
                                  static_cast<unsigned char>(port)};
        snd_seq_port_subscribe_set_sender(subscription.get(), &sender);
        snd_seq_port_subscribe_set_dest(subscription.get(), &dest);
        return snd_seq_get_port_subscription(seq_, subscription.get());
    }

    int WriteSubscribers(int client, int port, std::vector<AlsaPortInfo>& senders) override {
        senders.clear();
        QueryRecord query;
        if (const int result = Make<QueryRecord, &snd_seq_query_subscribe_malloc>(query);
            result < 0) {
            return result;
        }
        const snd_seq_addr_t root{static_cast<unsigned char>(client),
                                  static_cast<unsigned char>(port)};
        snd_seq_query_subscribe_set_root(query.get(), &root);
        snd_seq_query_subscribe_set_type(query.get(), SND_SEQ_QUERY_SUBS_WRITE);
        snd_seq_query_subscribe_set_index(query.get(), 0);
        while (snd_seq_query_port_subscribers(seq_, query.get()) >= 0) {
            const snd_seq_addr_t* sender = snd_seq_query_subscribe_get_addr(query.get());
            AlsaPortInfo info;
            if (PortInfo(sender->client, sender->port, info) < 0) {
                info.client = sender->client;  // gone meanwhile: its number is all there is
                info.port = sender->port;
            }
            senders.push_back(info);
            snd_seq_query_subscribe_set_index(query.get(),
                                              snd_seq_query_subscribe_get_index(query.get()) + 1);
        }
        return 0;
    }

    int SendSysEx(int ownPort, int client, int port,
                  std::span<const std::uint8_t> message) override {
        snd_seq_event_t event{};
        event.type = SND_SEQ_EVENT_SYSEX;
        event.flags = SND_SEQ_EVENT_LENGTH_VARIABLE;
        event.queue = SND_SEQ_QUEUE_DIRECT;
        event.source.port = static_cast<unsigned char>(ownPort);
        // The port itself, not our subscribers: once the port is gone this fails instead of
        // going nowhere, and a number taken over by another device is never written to.
        event.dest.client = static_cast<unsigned char>(client);
        event.dest.port = static_cast<unsigned char>(port);
        event.data.ext.len = static_cast<unsigned int>(message.size());
        // alsa-lib only reads the bytes; its event type has no const pointer.
        event.data.ext.ptr = const_cast<std::uint8_t*>(message.data());
        return snd_seq_event_output_direct(seq_, &event);
    }

    int DropOutput() override { return snd_seq_drop_output(seq_); }

    int ReadInput(int timeoutMs, std::vector<AlsaInput>& input) override {
        input.clear();
        // The client stays blocking for the output's sake: events are only read once the
        // sequencer says some are there, so that no read waits.
        if (snd_seq_event_input_pending(seq_, 0) == 0) {
            const int count = snd_seq_poll_descriptors_count(seq_, POLLIN);
            std::vector<pollfd> fds(static_cast<std::size_t>(count > 0 ? count : 0));
            const int filled = snd_seq_poll_descriptors(seq_, fds.data(),
                                                        static_cast<unsigned>(fds.size()), POLLIN);
            const int ready = poll(fds.data(), static_cast<nfds_t>(filled), timeoutMs);
            if (ready <= 0) {
                return ready < 0 && errno != EINTR ? -errno : 0;
            }
            // Only events to read may lead to a read: on an error alone it would wait.
            const bool readable =
                std::any_of(fds.begin(), fds.begin() + filled,
                            [](const pollfd& fd) { return (fd.revents & POLLIN) != 0; });
            if (!readable) {
                return -EIO;
            }
        }
        do {
            snd_seq_event_t* event = nullptr;
            const int result = snd_seq_event_input(seq_, &event);
            if (result == -ENOSPC) {
                input.push_back({kAllInputs, {kLostEvents}});
            } else if (result < 0) {
                return result;
            } else if (event != nullptr) {
                AppendEvent(decoder_.get(), *event, input);
            }
        } while (snd_seq_event_input_pending(seq_, 0) > 0);
        return 0;
    }

  private:
    snd_seq_t* seq_;
    Decoder decoder_;
};

class Library final : public AlsaSeqLibrary {
  public:
    int OpenClient(const std::string& name, std::unique_ptr<AlsaSeqClient>& client) override {
        SilenceAlsaLib();
        client.reset();
        snd_seq_t* seq = nullptr;
        int result = snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, 0);
        if (result < 0) {
            return result;
        }
        auto owned = std::make_unique<LibClient>(seq);
        result = snd_seq_set_client_name(seq, name.c_str());
        if (result < 0) {
            return result;
        }
        client = std::move(owned);
        return 0;
    }

    std::string ErrorText(int code) override { return snd_strerror(code); }

    int ReadStatusFile(const std::string& path, std::string& text) override {
        text.clear();
        std::ifstream file(path);
        if (!file) {
            return errno != 0 ? -errno : -ENOENT;
        }
        std::ostringstream contents;
        contents << file.rdbuf();
        text = contents.str();
        return 0;
    }
};

}  // namespace

std::unique_ptr<AlsaSeqLibrary> CreateAlsaSeqLibrary() {
    return std::make_unique<Library>();
}

}  // namespace patchferry::midi::alsa

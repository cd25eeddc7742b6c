// The real sequencer seam over alsa-lib. Every alsa-lib result is passed on as it is; the texts of
// those codes come from snd_strerror, here and nowhere else.

#include <alsa/asoundlib.h>

#include <cstdarg>
#include <mutex>

#include "midi/alsa/AlsaPortKind.h"
#include "midi/alsa/AlsaSeq.h"

namespace patchferry::midi::alsa {
namespace {

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

class LibClient final : public AlsaSeqClient {
  public:
    explicit LibClient(snd_seq_t* seq) : seq_(seq) {}
    ~LibClient() override { snd_seq_close(seq_); }
    LibClient(const LibClient&) = delete;
    LibClient& operator=(const LibClient&) = delete;

    int ClientId() override { return snd_seq_client_id(seq_); }

    int ListPorts(std::vector<AlsaPortInfo>& ports) override {
        ports.clear();
        snd_seq_client_info_t* client = nullptr;
        snd_seq_port_info_t* port = nullptr;
        int result = snd_seq_client_info_malloc(&client);
        if (result < 0) {
            return result;
        }
        result = snd_seq_port_info_malloc(&port);
        if (result < 0) {
            snd_seq_client_info_free(client);
            return result;
        }
        snd_seq_client_info_set_client(client, -1);
        while (snd_seq_query_next_client(seq_, client) >= 0) {
            const int clientId = snd_seq_client_info_get_client(client);
            snd_seq_port_info_set_client(port, clientId);
            snd_seq_port_info_set_port(port, -1);
            while (snd_seq_query_next_port(seq_, port) >= 0) {
                AlsaPortInfo info;
                info.client = clientId;
                info.port = snd_seq_port_info_get_port(port);
                info.clientName = snd_seq_client_info_get_name(client);
                info.portName = snd_seq_port_info_get_name(port);
                info.type = snd_seq_port_info_get_type(port);
                info.capability = snd_seq_port_info_get_capability(port);
                info.writeUse = snd_seq_port_info_get_write_use(port);
                ports.push_back(std::move(info));
            }
        }
        snd_seq_port_info_free(port);
        snd_seq_client_info_free(client);
        return 0;
    }

    int PortInfo(int client, int port, AlsaPortInfo& info) override {
        snd_seq_client_info_t* clientInfo = nullptr;
        snd_seq_port_info_t* portInfo = nullptr;
        int result = snd_seq_client_info_malloc(&clientInfo);
        if (result < 0) {
            return result;
        }
        result = snd_seq_port_info_malloc(&portInfo);
        if (result >= 0) {
            result = snd_seq_get_any_client_info(seq_, client, clientInfo);
        }
        if (result >= 0) {
            result = snd_seq_get_any_port_info(seq_, client, port, portInfo);
        }
        if (result >= 0) {
            info.client = client;
            info.port = port;
            info.clientName = snd_seq_client_info_get_name(clientInfo);
            info.portName = snd_seq_port_info_get_name(portInfo);
            info.type = snd_seq_port_info_get_type(portInfo);
            info.capability = snd_seq_port_info_get_capability(portInfo);
            info.writeUse = snd_seq_port_info_get_write_use(portInfo);
        }
        snd_seq_port_info_free(portInfo);
        snd_seq_client_info_free(clientInfo);
        return result;
    }

    int CreateOutputPort(const std::string& name) override {
        return snd_seq_create_simple_port(
            seq_, name.c_str(), SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
            SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    }

    int DeletePort(int ownPort) override { return snd_seq_delete_simple_port(seq_, ownPort); }

    int ConnectTo(int ownPort, int client, int port) override {
        return snd_seq_connect_to(seq_, ownPort, client, port);
    }

    int CheckConnectedTo(int ownPort, int client, int port) override {
        snd_seq_port_subscribe_t* subscription = nullptr;
        int result = snd_seq_port_subscribe_malloc(&subscription);
        if (result < 0) {
            return result;
        }
        const snd_seq_addr_t sender{static_cast<unsigned char>(snd_seq_client_id(seq_)),
                                    static_cast<unsigned char>(ownPort)};
        const snd_seq_addr_t dest{static_cast<unsigned char>(client),
                                  static_cast<unsigned char>(port)};
        snd_seq_port_subscribe_set_sender(subscription, &sender);
        snd_seq_port_subscribe_set_dest(subscription, &dest);
        result = snd_seq_get_port_subscription(seq_, subscription);
        snd_seq_port_subscribe_free(subscription);
        return result;
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

  private:
    snd_seq_t* seq_;
};

class Library final : public AlsaSeqLibrary {
  public:
    int OpenClient(const std::string& name, std::unique_ptr<AlsaSeqClient>& client) override {
        SilenceAlsaLib();
        client.reset();
        snd_seq_t* seq = nullptr;
        int result = snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0);
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
};

}  // namespace

std::unique_ptr<AlsaSeqLibrary> CreateAlsaSeqLibrary() {
    return std::make_unique<Library>();
}

}  // namespace patchferry::midi::alsa

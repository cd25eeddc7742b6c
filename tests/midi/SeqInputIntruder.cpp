// Another program at Patchferry's sequencer input, for the checks on a real kernel: waits for the
// port "Patchferry in", tries to connect to it the two ways a program can (subscribing itself as
// a writer, and connecting a third port to it as aconnect does), then writes SysEx straight to
// its address until the port goes or the time is up. Each message looks like an MS2000 parameter
// change on the given channel, the kind most likely to be taken into an answer.
//
// usage: seq_input_intruder CHANNEL SECONDS [CLIENT:PORT to connect from]
// Prints "subscribe: RESULT", "connect: RESULT" and "sent N" (messages the sequencer took).

#include <alsa/asoundlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

namespace {

struct Address {
    int client = 0;
    int port = 0;
};

std::optional<Address> FindPort(snd_seq_t* seq, const char* clientName, const char* portName) {
    snd_seq_client_info_t* client = nullptr;
    snd_seq_port_info_t* port = nullptr;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        if (std::strcmp(snd_seq_client_info_get_name(client), clientName) != 0) {
            continue;
        }
        snd_seq_port_info_set_client(port, snd_seq_client_info_get_client(client));
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            if (std::strcmp(snd_seq_port_info_get_name(port), portName) == 0) {
                return Address{snd_seq_port_info_get_client(port),
                               snd_seq_port_info_get_port(port)};
            }
        }
    }
    return std::nullopt;
}

const char* ResultText(int result) {
    return result >= 0 ? "accepted" : snd_strerror(result);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: seq_input_intruder CHANNEL SECONDS [CLIENT:PORT]\n");
        return 2;
    }
    const int channel = std::atoi(argv[1]);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
        std::fprintf(stderr, "seq_input_intruder: no sequencer\n");
        return 1;
    }
    snd_seq_set_client_name(seq, "Intruder");
    const int own = snd_seq_create_simple_port(seq, "intruder out",
                                               SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                               SND_SEQ_PORT_TYPE_MIDI_GENERIC);
    std::optional<Address> target;
    while (!target && std::chrono::steady_clock::now() < until) {
        target = FindPort(seq, "Patchferry", "Patchferry in");
        if (!target) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    if (!target) {
        std::printf("no port Patchferry in\n");
        return 1;
    }
    std::printf("target %d:%d\n", target->client, target->port);
    std::printf("subscribe: %s\n",
                ResultText(snd_seq_connect_to(seq, own, target->client, target->port)));
    if (argc > 3) {
        snd_seq_addr_t from{};
        snd_seq_addr_t to{static_cast<unsigned char>(target->client),
                          static_cast<unsigned char>(target->port)};
        int connect = snd_seq_parse_address(seq, &from, argv[3]);
        if (connect >= 0) {
            snd_seq_port_subscribe_t* subscription = nullptr;
            snd_seq_port_subscribe_alloca(&subscription);
            snd_seq_port_subscribe_set_sender(subscription, &from);
            snd_seq_port_subscribe_set_dest(subscription, &to);
            connect = snd_seq_subscribe_port(seq, subscription);
        }
        std::printf("connect: %s\n", ResultText(connect));
    }
    std::fflush(stdout);

    // F0 42 3g 58 41 <parameter> <value> F7: a parameter change from an MS2000 on `channel`.
    std::vector<unsigned char> message{
        0xF0, 0x42, static_cast<unsigned char>(0x30 + channel - 1), 0x58, 0x41, 0x00, 0x00, 0x00,
        0x00, 0xF7};
    long sent = 0;
    while (std::chrono::steady_clock::now() < until) {
        snd_seq_event_t event{};
        snd_seq_ev_set_source(&event, static_cast<unsigned char>(own));
        snd_seq_ev_set_dest(&event, static_cast<unsigned char>(target->client),
                            static_cast<unsigned char>(target->port));
        snd_seq_ev_set_direct(&event);
        event.type = SND_SEQ_EVENT_SYSEX;
        event.flags = SND_SEQ_EVENT_LENGTH_VARIABLE;
        event.data.ext.len = static_cast<unsigned>(message.size());
        event.data.ext.ptr = message.data();
        if (snd_seq_event_output_direct(seq, &event) < 0) {
            break;  // the port is gone: the receive has ended
        }
        ++sent;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::printf("sent %ld\n", sent);
    snd_seq_close(seq);
    return 0;
}

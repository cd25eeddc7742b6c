#include "midi/PortPairing.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <vector>

namespace patchferry::midi {
namespace {

// The client of an ALSA address "CLIENT:PORT"; empty for any other kind of address.
std::string_view ClientOf(std::string_view address) {
    const auto colon = address.find(':');
    return colon == std::string_view::npos || colon == 0 ? std::string_view()
                                                         : address.substr(0, colon);
}

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

bool SameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// The name cut into runs of letters and digits and runs of everything else, so that names are
// compared word by word.
std::vector<std::string_view> Words(std::string_view name) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    for (std::size_t i = 1; i <= name.size(); ++i) {
        if (i == name.size() || IsWordChar(name[i]) != IsWordChar(name[i - 1])) {
            words.push_back(name.substr(start, i - start));
            start = i;
        }
    }
    return words;
}

struct DirectionWords {
    std::string_view in;
    std::string_view out;
    bool numbered;  // followed by the port's number in the same word: MIDIIN2 / MIDIOUT2
};
// Windows names the second and later ports of a class-compliant interface "MIDIIN2 (X)" and
// "MIDIOUT2 (X)"; drivers and interfaces name the two directions in a word of their own ("X MIDI
// In" / "X MIDI Out", "MIDISPORT 4x4 In A" / "MIDISPORT 4x4 Out A"), in any letter case.
constexpr std::array kDirectionWords{
    DirectionWords{"midiin", "midiout", true},
    DirectionWords{"in", "out", false},
    DirectionWords{"input", "output", false},
};

bool OppositeDirections(std::string_view in, std::string_view out) {
    return std::any_of(kDirectionWords.begin(), kDirectionWords.end(), [&](const auto& words) {
        if (!words.numbered) {
            return SameLetters(in, words.in) && SameLetters(out, words.out);
        }
        return in.size() > words.in.size() && out.size() > words.out.size() &&
               SameLetters(in.substr(0, words.in.size()), words.in) &&
               SameLetters(out.substr(0, words.out.size()), words.out) &&
               in.substr(words.in.size()) == out.substr(words.out.size()) &&
               std::all_of(in.begin() + static_cast<std::ptrdiff_t>(words.in.size()), in.end(),
                           [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
    });
}

// Whether the two names differ only where the input's says "in" and the output's "out".
bool NamedAsPair(std::string_view input, std::string_view output) {
    const std::vector<std::string_view> in = Words(input);
    const std::vector<std::string_view> out = Words(output);
    if (in.size() != out.size()) {
        return false;
    }
    bool opposite = false;
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == out[i]) {
            continue;
        }
        if (!OppositeDirections(in[i], out[i])) {
            return false;
        }
        opposite = true;
    }
    return opposite;
}

}  // namespace

const MidiPortInfo* PairedOutput(const MidiPortInfo& input,
                                    const std::vector<MidiPortInfo>& outputs) {
    const auto first = [&](auto fits) -> const MidiPortInfo* {
        const auto found = std::find_if(outputs.begin(), outputs.end(), fits);
        return found == outputs.end() ? nullptr : &*found;
    };
    if (const auto* same = first([&](const MidiPortInfo& out) {
            return out.address == input.address && out.name == input.name;
        })) {
        return same;
    }
    if (const auto* named = first([&](const MidiPortInfo& out) {
            return out.name == input.name && out.hardwarePort == input.hardwarePort;
        })) {
        return named;
    }
    if (const auto* opposite = first([&](const MidiPortInfo& out) {
            return NamedAsPair(input.name, out.name) && out.hardwarePort == input.hardwarePort;
        })) {
        return opposite;
    }
    const std::string_view client = ClientOf(input.address);
    if (client.empty()) {
        return nullptr;
    }
    return first([&](const MidiPortInfo& out) { return ClientOf(out.address) == client; });
}

const MidiPortInfo* PairedInput(const MidiPortInfo& output,
                                   const std::vector<MidiPortInfo>& inputs,
                                   const std::vector<MidiPortInfo>& outputs) {
    for (const MidiPortInfo& input : inputs) {
        const MidiPortInfo* paired = PairedOutput(input, outputs);
        if (paired != nullptr && paired->address == output.address && paired->name == output.name) {
            return &input;
        }
    }
    return nullptr;
}

}  // namespace patchferry::midi

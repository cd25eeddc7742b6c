#include "synth/DeviceInquiry.h"

#include "synth/RadiasFacts.h"

#include <cstdio>

#include "library/KorgSysEx.h"

namespace patchferry::synth {

namespace {

constexpr std::uint8_t kLastDeviceChannel = 0x0F;
constexpr std::uint16_t kMs2kFamily = 0x0058;

struct KnownFamily {
    std::uint8_t maker;
    std::uint16_t family;
    const char* name;
};
constexpr std::array kKnownFamilies{
    KnownFamily{korg::kKorgId, kMs2kFamily, "MS2000 or microKORG"},
    KnownFamily{korg::kKorgId, radias::kInquiryFamily, "Radias"},
};

// Members of a known family that answer with their own code: the MS2000's keyboard and rack.
// Other members are shown by their code alone.
struct KnownMember {
    std::uint16_t family;
    std::uint16_t member;
    const char* name;
};
constexpr std::array kKnownMembers{
    KnownMember{kMs2kFamily, 0x0001, "MS2000"},
    KnownMember{kMs2kFamily, 0x0008, "MS2000R"},
};

std::string Hex(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*Xh", digits, value);
    return text;
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text += (text.empty() ? "" : " ") + Hex(byte, 2);
    }
    return text;
}

// "3 bytes: 01h 02h 03h", with `what` before "byte" ("more ").
std::string CountedBytes(std::span<const std::uint8_t> bytes, const std::string& what = {}) {
    const std::string count =
        std::to_string(bytes.size()) + " " + what + (bytes.size() == 1 ? "byte" : "bytes");
    return bytes.empty() ? count : count + ": " + HexBytes(bytes);
}

}  // namespace

IdentityRequest IdentityRequestFor(std::uint8_t deviceId) {
    return {korg::kSysExStart,   kUniversalNonRealTime, deviceId,
            kGeneralInformation, kIdentityRequest,      korg::kSysExEnd};
}

std::optional<DeviceIdentity> ParseIdentityReply(std::span<const std::uint8_t> message) {
    // F0 7E cc 06 02, maker (1 or 3), family (2), member (2), version (4), F7
    constexpr std::size_t kFixed = 5;
    if (message.size() <= kFixed || message.size() > kLongestReply ||
        message[0] != korg::kSysExStart || message[1] != kUniversalNonRealTime ||
        message[3] != kGeneralInformation || message[4] != kIdentityReply ||
        message.back() != korg::kSysExEnd) {
        return std::nullopt;
    }
    const auto body = message.subspan(kFixed, message.size() - kFixed - 1);
    DeviceIdentity identity;
    identity.deviceId = message[2];
    const std::size_t makerSize = !body.empty() && body[0] == 0 ? 3 : 1;
    if (body.size() < makerSize + 2 + 2 + identity.version.size()) {
        identity.complete = false;
        identity.more.assign(body.begin(), body.end());
        return identity;
    }
    identity.maker.assign(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(makerSize));
    std::size_t at = makerSize;
    identity.family = static_cast<std::uint16_t>(body[at] | (body[at + 1] << 7U));
    identity.member = static_cast<std::uint16_t>(body[at + 2] | (body[at + 3] << 7U));
    at += 4;
    for (std::uint8_t& v : identity.version) {
        v = body[at++];
    }
    identity.more.assign(body.begin() + static_cast<std::ptrdiff_t>(at), body.end());
    return identity;
}

bool IsMs2kFamily(const DeviceIdentity& identity) {
    return identity.maker.size() == 1 && identity.maker[0] == korg::kKorgId &&
           identity.family == kMs2kFamily;
}

std::optional<int> ReplyChannel(const DeviceIdentity& identity) {
    if (identity.deviceId > kLastDeviceChannel) {
        return std::nullopt;
    }
    return identity.deviceId + 1;
}

std::string DescribeIdentity(const DeviceIdentity& identity) {
    const std::optional<int> channel = ReplyChannel(identity);
    const std::string from = channel ? "global channel " + std::to_string(*channel)
                                     : "device ID " + Hex(identity.deviceId, 2);
    if (!identity.complete) {
        return "an incomplete answer from " + from + " (" + CountedBytes(identity.more) + ")";
    }
    const std::string maker = HexBytes(identity.maker);
    const bool korg = identity.maker.size() == 1 && identity.maker[0] == korg::kKorgId;
    std::string text = korg ? "Korg (" + maker + ")" : "maker " + maker;
    text += ", family " + Hex(identity.family, 4);
    for (const KnownFamily& known : kKnownFamilies) {
        if (identity.maker.size() == 1 && identity.maker[0] == known.maker &&
            identity.family == known.family) {
            text += std::string(" (") + known.name + ")";
        }
    }
    text += ", member " + Hex(identity.member, 4);
    for (const KnownMember& known : kKnownMembers) {
        if (korg && identity.family == known.family && identity.member == known.member) {
            text += std::string(" (") + known.name + ")";
        }
    }
    text += ", " + from;
    char version[32];
    std::snprintf(version, sizeof version, ", version %02X.%02X.%02X.%02X", identity.version[0],
                  identity.version[1], identity.version[2], identity.version[3]);
    text += version;
    if (!identity.more.empty()) {
        text += ", and " + CountedBytes(identity.more, "more ");
    }
    return text;
}

DeviceFinder::DeviceFinder()
    : assembler_(kLongestReply, [this](std::span<const std::uint8_t> message, bool whole) {
          if (!running_ || !whole) {
              return;
          }
          if (auto identity = ParseIdentityReply(message)) {
              answers_.push_back(std::move(*identity));
          }
      }) {}

IdentityRequest DeviceFinder::Start(Clock::time_point now) {
    assembler_.DiscardPartial();
    answers_.clear();
    asking_ = kAllDevices;
    askedAt_ = now;
    running_ = true;
    finished_ = false;
    return IdentityRequestFor(kAllDevices);
}

void DeviceFinder::Feed(std::span<const std::uint8_t> bytes) {
    assembler_.Feed(bytes);
    if (running_ && asking_ != kAllDevices && !answers_.empty()) {
        running_ = false;  // asking one by one stops at the first reply
        finished_ = true;
    }
}

std::optional<IdentityRequest> DeviceFinder::Tick(Clock::time_point now) {
    if (!running_) {
        return std::nullopt;
    }
    const auto wait = asking_ == kAllDevices ? kCollectAll : kPerDevice;
    if (now - askedAt_ < wait) {
        return std::nullopt;
    }
    if (!answers_.empty() || asking_ == kLastDeviceChannel) {
        running_ = false;
        finished_ = true;
        return std::nullopt;
    }
    asking_ = asking_ == kAllDevices ? 0 : static_cast<std::uint8_t>(asking_ + 1);
    askedAt_ = now;
    return IdentityRequestFor(asking_);
}

void DeviceFinder::Cancel() {
    assembler_.DiscardPartial();
    running_ = false;
    finished_ = true;
}

std::string NoInquiryAnswerText(const std::string& inputName) {
    return "no device answered the device inquiry on " + inputName +
           ". Check that a MIDI cable runs from the instrument's MIDI OUT to this input and one "
           "from the interface's MIDI OUT to its MIDI IN, and that the MS2000's global MIDI "
           "setting \"SystemEx\" is ENA.";
}

}  // namespace patchferry::synth

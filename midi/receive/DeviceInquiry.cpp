#include "midi/receive/DeviceInquiry.h"

#include <cstdio>

#include "library/KorgSysEx.h"

namespace patchferry::midi {

namespace {

constexpr std::size_t kLongestReply = 17;  // with a three-byte maker ID
constexpr std::uint8_t kLastDeviceChannel = 0x0F;
constexpr std::uint16_t kMs2kFamily = 0x0058;

struct KnownFamily {
    std::uint8_t maker;
    std::uint16_t family;
    const char* name;
};
constexpr std::array kKnownFamilies{
    KnownFamily{korg::kKorgId, kMs2kFamily, "MS2000 or microKORG"},
    KnownFamily{korg::kKorgId, 0x0072, "Radias"},
};

std::string Hex(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*Xh", digits, value);
    return text;
}

}  // namespace

IdentityRequest IdentityRequestFor(std::uint8_t deviceId) {
    return {korg::kSysExStart,   kUniversalNonRealTime, deviceId,
            kGeneralInformation, kIdentityRequest,      korg::kSysExEnd};
}

std::optional<DeviceIdentity> ParseIdentityReply(std::span<const std::uint8_t> message) {
    // F0 7E cc 06 02, maker (1 or 3), family (2), member (2), version (4), F7
    constexpr std::size_t kFixed = 5;
    if (message.size() < kFixed || message[0] != korg::kSysExStart ||
        message[1] != kUniversalNonRealTime || message[3] != kGeneralInformation ||
        message[4] != kIdentityReply || message.back() != korg::kSysExEnd) {
        return std::nullopt;
    }
    const std::size_t makerSize = message.size() > kFixed && message[kFixed] == 0 ? 3 : 1;
    if (message.size() != kFixed + makerSize + 2 + 2 + 4 + 1) {
        return std::nullopt;
    }
    DeviceIdentity identity;
    identity.deviceId = message[2];
    std::size_t at = kFixed;
    identity.maker.assign(message.begin() + static_cast<std::ptrdiff_t>(at),
                          message.begin() + static_cast<std::ptrdiff_t>(at + makerSize));
    at += makerSize;
    identity.family = static_cast<std::uint16_t>(message[at] | (message[at + 1] << 7U));
    identity.member = static_cast<std::uint16_t>(message[at + 2] | (message[at + 3] << 7U));
    at += 4;
    for (std::uint8_t& v : identity.version) {
        v = message[at++];
    }
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
    std::string maker;
    for (const std::uint8_t byte : identity.maker) {
        maker += (maker.empty() ? "" : " ") + Hex(byte, 2);
    }
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
    const std::optional<int> channel = ReplyChannel(identity);
    text += channel ? ", global channel " + std::to_string(*channel)
                    : ", device ID " + Hex(identity.deviceId, 2);
    char version[32];
    std::snprintf(version, sizeof version, ", version %02X.%02X.%02X.%02X", identity.version[0],
                  identity.version[1], identity.version[2], identity.version[3]);
    return text + version;
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

}  // namespace patchferry::midi

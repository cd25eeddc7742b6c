#pragma once
// The universal device inquiry, which asks the instruments on a MIDI cable who they are:
//
//   request   F0 7E cc 06 01 F7        cc: device ID (a global channel minus 1), 7F for all
//   reply     F0 7E cc 06 02 maker family(2) member(2) version(4) F7
//
// maker is one byte, or three beginning with 00; family and member are 14-bit numbers sent low
// byte first. An MS2000 replies with cc = its global channel minus 1, maker 42 (Korg), family
// 58 00 (shared with the microKORG), its member (rack and keyboard models differ) and version:
//
//   F0 7E 0g 06 02 42 58 00 mm 00 vv vv vv vv F7
//
// Replies are shown as they come: a maker or family this program does not know is still an
// answer, and so is a reply with more bytes than these (shown after the version) or too few to
// hold them (an incomplete answer, its bytes shown). Only a reply longer than kLongestReply is
// not kept.
//
// DeviceFinder runs the inquiry: it asks everyone (cc = 7F) and collects replies for a second;
// when none came, it asks each device ID in turn, one every 400 ms, and stops at the first reply.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "midi/SysExAssembler.h"

namespace patchferry::synth {

inline constexpr std::uint8_t kUniversalNonRealTime = 0x7E;
inline constexpr std::uint8_t kAllDevices = 0x7F;
inline constexpr std::uint8_t kGeneralInformation = 0x06;
inline constexpr std::uint8_t kIdentityRequest = 0x01;
inline constexpr std::uint8_t kIdentityReply = 0x02;

// The longest reply kept, F0 to F7: the usual one is 15 or 17 bytes.
inline constexpr std::size_t kLongestReply = 64;

using IdentityRequest = std::array<std::uint8_t, 6>;

// The inquiry to device ID `deviceId` (0..15, or kAllDevices).
IdentityRequest IdentityRequestFor(std::uint8_t deviceId);

struct DeviceIdentity {
    std::uint8_t deviceId = 0;        // 0..15 is global channel deviceId + 1
    std::vector<std::uint8_t> maker;  // one byte, or three beginning with 00
    std::uint16_t family = 0;
    std::uint16_t member = 0;
    std::array<std::uint8_t, 4> version{};
    // False when the reply ended before the version: then only deviceId and `more` are read.
    bool complete = true;
    // The bytes after the version; in an incomplete reply, all bytes after its first five.
    std::vector<std::uint8_t> more;
};

// The identity in a whole SysEx message of up to kLongestReply bytes, when it is a device inquiry
// reply.
std::optional<DeviceIdentity> ParseIdentityReply(std::span<const std::uint8_t> message);

// One line for the user: maker, family, member, global channel (1..16) and version, with the
// names this program knows and the numbers always, and any bytes after them; or, for an
// incomplete reply, where it came from and what it held.
std::string DescribeIdentity(const DeviceIdentity& identity);

// Whether the reply is from the MS2000's family (the microKORG shares it).
bool IsMs2kFamily(const DeviceIdentity& identity);

// The global channel (1..16) a reply names, or nothing when its device ID is not a channel.
std::optional<int> ReplyChannel(const DeviceIdentity& identity);

// What to tell the user when nothing answered the inquiry on the input named `inputName`.
std::string NoInquiryAnswerText(const std::string& inputName);

class DeviceFinder {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kCollectAll{1000};
    static constexpr std::chrono::milliseconds kPerDevice{400};

    DeviceFinder();

    // Begins the inquiry: the caller sends the returned request at `now`.
    IdentityRequest Start(Clock::time_point now);
    void Feed(std::span<const std::uint8_t> bytes);
    // Moves the inquiry on; returns the next request to send now, if one is due.
    std::optional<IdentityRequest> Tick(Clock::time_point now);
    void Cancel();

    bool Finished() const { return finished_; }
    const std::vector<DeviceIdentity>& Answers() const { return answers_; }
    // The device ID asked last (kAllDevices while collecting the replies to everyone).
    std::uint8_t Asking() const { return asking_; }

  private:
    midi::SysExAssembler assembler_;
    std::vector<DeviceIdentity> answers_;
    Clock::time_point askedAt_{};
    std::uint8_t asking_ = kAllDevices;
    bool running_ = false;
    bool finished_ = false;
};

}  // namespace patchferry::synth

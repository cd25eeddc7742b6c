#include "synth/RadiasBackup.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "midi/MidiCable.h"
#include "synth/RadiasSlots.h"

namespace patchferry::synth {
namespace {

// The first bytes of a message, in hex, to say what arrived.
std::string Shown(std::span<const std::uint8_t> message) {
    constexpr std::size_t kShown = 8;
    std::string text;
    for (std::size_t i = 0; i < std::min(message.size(), kShown); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", message[i]);
        text += (i == 0 ? "" : " ") + std::string(hex);
    }
    if (message.size() > kShown) {
        text += " ... (" + std::to_string(message.size()) + " bytes)";
    }
    return text;
}

constexpr auto kAnswerTime = midi::SysExTransmissionTime(sizeof(ProgramDumpRequest)) +
                             midi::SysExTransmissionTime(kStoredProgramDumpSize);

}  // namespace

RadiasBackup::RadiasBackup()
    : assembler_(kStoredProgramDumpSize, [this](std::span<const std::uint8_t> message, bool whole) {
          OnMessage(message, whole);
      }) {}

ProgramDumpRequest RadiasBackup::Start(std::vector<int> slots, int channel, Clock::time_point now) {
    assembler_.DiscardPartial();
    slots_ = std::move(slots);
    next_ = 0;
    channel_ = channel;
    answered_ = false;
    dumps_.clear();
    failure_.clear();
    unanswered_ = false;
    state_ = slots_.empty() ? BackupState::Done : BackupState::Asking;
    askedAt_ = now;
    return ProgramDumpRequestFor(slots_.empty() ? 0 : slots_.front(), channel_);
}

void RadiasBackup::Feed(std::span<const std::uint8_t> bytes, Clock::time_point /*now*/) {
    assembler_.Feed(bytes);
}

void RadiasBackup::OnMessage(std::span<const std::uint8_t> message, bool whole) {
    const bool fromTheRadias =
        message.size() >= 4 && message[1] == korg::kKorgId &&
        message[2] == static_cast<std::uint8_t>(korg::kFormatIdHighNibble + channel_) &&
        message[3] == radias::kModelId;
    if (state_ != BackupState::Asking || answered_ || !fromTheRadias) {
        return;
    }
    const std::string asked = SlotName(slots_[next_]);
    if (!whole) {
        Fail("the Radias's answer for " + asked + " broke off after " +
             std::to_string(message.size()) + " bytes: " + Shown(message));
        return;
    }
    const auto slot = StoredProgramSlot(message);
    if (!slot) {
        Fail("the Radias answered the request for " + asked +
             " with something other than its program: " + Shown(message));
        return;
    }
    if (*slot != slots_[next_]) {
        Fail("the Radias answered the request for " + asked + " with the program of " +
             SlotName(*slot) + "; its program addresses are not the ones this program uses");
        return;
    }
    dumps_.insert(dumps_.end(), message.begin(), message.end());
    answered_ = true;
}

std::optional<ProgramDumpRequest> RadiasBackup::Tick(Clock::time_point now) {
    if (state_ != BackupState::Asking) {
        return std::nullopt;
    }
    if (!answered_) {
        if (now - askedAt_ > kAnswerTime + kAnswerMargin) {
            Fail("no answer from the Radias to the request for " + SlotName(slots_[next_]));
            unanswered_ = true;
        }
        return std::nullopt;
    }
    answered_ = false;
    if (++next_ == slots_.size()) {
        state_ = BackupState::Done;
        return std::nullopt;
    }
    askedAt_ = now;
    return ProgramDumpRequestFor(slots_[next_], channel_);
}

void RadiasBackup::Cancel() {
    if (state_ == BackupState::Asking) {
        assembler_.DiscardPartial();
        state_ = BackupState::Cancelled;
    }
}

void RadiasBackup::Fail(std::string text) {
    failure_ = std::move(text);
    state_ = BackupState::Failed;
}

}  // namespace patchferry::synth

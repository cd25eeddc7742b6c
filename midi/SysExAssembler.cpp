#include "midi/SysExAssembler.h"

#include <utility>

#include "library/KorgSysEx.h"
#include "midi/MidiBytes.h"

namespace patchferry::midi {

SysExAssembler::SysExAssembler(std::size_t maxMessage, MessageSink sink)
    : maxMessage_(maxMessage), sink_(std::move(sink)) {}

void SysExAssembler::Feed(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        if (IsRealTime(byte)) {
            continue;
        }
        if (!IsStatus(byte)) {
            if (inSysEx_) {
                ++partialLength_;
                if (discarding_) {
                    ++skippedSysEx_;
                } else if (partial_.size() < maxMessage_) {
                    partial_.push_back(byte);
                }
            } else if (beforeFirstStatus_) {
                ++skippedSysEx_;  // only a SysEx message runs on this long without a status byte
            }
            continue;  // data of a channel or system common message
        }
        beforeFirstStatus_ = false;
        if (byte == korg::kSysExEnd) {
            if (inSysEx_) {
                ++partialLength_;
                if (!discarding_ && partial_.size() < maxMessage_) {
                    partial_.push_back(byte);
                    End(true);
                } else {
                    End(false);
                }
            }
            continue;
        }
        // Any other status byte ends a message still open: it was cut.
        if (inSysEx_) {
            End(false);
        }
        if (byte == korg::kSysExStart) {
            inSysEx_ = true;
            partial_.push_back(byte);
            partialLength_ = 1;
        }
    }
}

void SysExAssembler::DiscardPartial() {
    if (inSysEx_) {
        discarding_ = true;
        partial_.clear();
    }
}

void SysExAssembler::End(bool whole) {
    if (!discarding_ && sink_) {
        sink_(partial_, whole);
    }
    partial_.clear();
    partialLength_ = 0;
    inSysEx_ = false;
    discarding_ = false;
}

}  // namespace patchferry::midi

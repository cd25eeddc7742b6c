#pragma once
// Joins the System Exclusive messages of a MIDI input from pieces cut anywhere (an input hands
// over what it has: part of a message, several messages, other traffic in between) and keeps
// nothing else. Real-time bytes (F8..FF) are taken out wherever they stand, a SysEx included;
// channel and system common messages are skipped. A message that another status byte breaks
// into is handed on as cut, so that a reader can tell a broken message from a whole one.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace patchferry::midi {

class SysExAssembler {
  public:
    // A message as it ended: from F0 to F7 when whole, from F0 to its last data byte when cut.
    using MessageSink = std::function<void(std::span<const std::uint8_t> message, bool whole)>;

    // Messages longer than maxMessage are not kept: their bytes are skipped up to their end and
    // they are handed on as cut with their first maxMessage bytes, so that no input can make the
    // assembler hold more than that.
    SysExAssembler(std::size_t maxMessage, MessageSink sink);

    void Feed(std::span<const std::uint8_t> bytes);

    // The message being received, from its F0 (empty when none is).
    std::span<const std::uint8_t> Partial() const { return partial_; }
    // Bytes of the message being received, counted past maxMessage too.
    std::size_t PartialLength() const { return partialLength_; }

    // Drops the message being received: its remaining bytes are skipped up to its end and it is
    // never handed on. A new F0 starts afresh as usual.
    void DiscardPartial();

    // How many data bytes of SysEx messages were skipped so far: those of a dropped message, and
    // the tail of one that was already under way when the input was opened (data bytes before
    // the first status byte).
    std::size_t SkippedSysExBytes() const { return skippedSysEx_; }

  private:
    void End(bool whole);

    std::size_t maxMessage_;
    MessageSink sink_;
    std::vector<std::uint8_t> partial_;
    std::size_t partialLength_ = 0;
    bool inSysEx_ = false;
    bool discarding_ = false;
    bool beforeFirstStatus_ = true;
    std::size_t skippedSysEx_ = 0;
};

}  // namespace patchferry::midi

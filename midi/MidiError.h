#pragma once
// What a MIDI call came to, the same on every backend: success, or a failure with its cause in
// terms every backend shares, the system's own code and words for it, and what the backend knows
// about this very failure (which programs write to the port, how many bytes were lost). A value
// carries everything its text needs, so the text is always its own failure's.

#include <cstdint>
#include <string>
#include <utility>

namespace patchferry::midi {

enum class MidiErrorCause : std::uint8_t {
    None,          // success
    NoSuchPort,    // no port at that address or of that name now
    PortGone,      // the port went away while open: unplugged or removed
    NotOpen,       // nothing is open to send on
    StillSending,  // our previous message is still going out
    OtherProgram,  // another program writes to the port or holds it
    NoAccess,      // this user may not use the MIDI system
    NoMidiSystem,  // the MIDI system or its driver is not there
    TimedOut,      // a message was accepted and never reported done
    OutOfMemory,
    TooLong,  // the message can never go out whole
    Other,    // anything else the system reports; its code and text tell
};

class MidiError {
  public:
    MidiError() = default;  // success
    // `systemText` is the system's words for `code`; `detail` what the backend adds about this
    // failure (empty when nothing).
    MidiError(MidiErrorCause cause, int code, std::string systemText, std::string detail = {})
        : cause_(cause),
          code_(code),
          systemText_(std::move(systemText)),
          detail_(std::move(detail)) {}

    bool Ok() const { return cause_ == MidiErrorCause::None; }
    bool Failed() const { return !Ok(); }
    MidiErrorCause Cause() const { return cause_; }
    int Code() const { return code_; }
    const std::string& SystemText() const { return systemText_; }
    const std::string& Detail() const { return detail_; }

    // For the user: the system's words, then the backend's detail after a colon (either alone
    // when the other is empty). Empty on success.
    std::string Text() const {
        if (systemText_.empty() || detail_.empty()) {
            return systemText_ + detail_;
        }
        return systemText_ + ": " + detail_;
    }

    friend bool operator==(const MidiError&, const MidiError&) = default;

  private:
    MidiErrorCause cause_ = MidiErrorCause::None;
    int code_ = 0;
    std::string systemText_;
    std::string detail_;
};

}  // namespace patchferry::midi

#pragma once
// The ALSA backend's failures. alsa-lib reports a negative errno, and one errno stands for
// several causes (-EBUSY for our own previous dump still going out and for another program
// writing to the port; -ENODEV for no such port and for a port that went away), so each failure
// carries its cause next to the errno: the text is then the system's words for the errno
// followed by the cause in words a user can act on.

#include <string>

#include "midi/MidiError.h"

namespace patchferry::midi::alsa {

enum class AlsaCause : int {
    None = 0,          // alsa-lib's own result, passed on as it is
    SequencerMissing,  // no /dev/snd/seq: the sequencer module is not loaded
    SequencerDenied,   // /dev/snd/seq may not be opened by this user
    NoSuchPort,        // no output port at that address or of that name
    PortGone,          // our subscription went with the port: unplugged or removed
    StillSending,      // our previous message may still fill the port's buffer
    OthersFillBuffer,  // other programs' bytes did not drain before our message
    OtherWriter,       // other bytes went into the port's buffer while ours did
    BytesDropped,      // the port's buffer was full and part of our message was dropped
    Unwatchable,       // the port's buffer cannot be watched and other programs may write
    TooLong,           // longer than the port's buffer: it could never go out whole
    NotOpen,           // the handle names no open port
    NoSuchInput,       // no input port at that address or of that name
};

// The cause every backend shares for `cause`, or for alsa-lib's own result `alsaResult` (a
// negative errno) when the cause is None.
MidiErrorCause SharedCause(AlsaCause cause, int alsaResult);

// What the cause means, for the user; `detail` (names of other programs, byte counts) is added
// where the cause has one.
std::string CauseText(AlsaCause cause, const std::string& detail);

// The cause of alsa-lib's failure to open the sequencer, when the errno tells one.
AlsaCause SequencerOpenCause(int alsaResult);

}  // namespace patchferry::midi::alsa

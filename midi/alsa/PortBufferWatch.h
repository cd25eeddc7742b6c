#pragma once
// Watches the kernel's output buffer of one hardware port through its status file, to learn
// whether a message went into it whole and alone.
//
// Why this is needed: the sequencer hands a direct event to the port's raw MIDI buffer within the
// sender's own write, and a SysEx event goes in piece by piece (32 bytes at a time, each copied
// from the sender's memory first). The buffer is shared by every program that writes to the port
// and nothing locks it across an event, so another program's event (from another processor, or
// from the sequencer's queue timer) can land between two pieces of ours, and a piece that does
// not fit the free space is dropped with no word to the sender (only "MIDI output buffer
// overrun" in the kernel log). Bytes that enter before ours or after ours go out before or after
// our message and do it no harm; programs that are connected but quiet write none at all.
//
// Seen on Debian 12's kernel (6.1) with a USB MIDI interface: another program playing a note every
// 5 ms into the port during our dump put its bytes before and after the dump in every send tried,
// never inside it, and nothing was dropped; but the window in which they could land inside it
// cannot be closed from here, so such a dump is reported as possibly broken, never as sent.
//
// What shows it: "Tx bytes" counts every byte handed on to the driver and "Avail" the free space,
// so Tx bytes plus the bytes pending is every byte that ever entered the buffer. Read while the
// buffer is empty before our message and again once it has drained after it, that sum grows by
// exactly our message's length when our bytes alone went in, all of them: then the message went
// out whole and unbroken. Less means part of ours was dropped; more means another program wrote
// in between and ours may have been cut. The two numbers of one reading are not taken under one
// lock, so only a reading of an empty buffer that the next reading repeats is trusted.

#include <chrono>
#include <optional>
#include <string>

#include "midi/alsa/AlsaSeq.h"
#include "midi/alsa/RawMidiStatus.h"

namespace patchferry::midi::alsa {

class PortBufferWatch {
  public:
    // The library must outlive the watch.
    PortBufferWatch(AlsaSeqLibrary& library, int card, int port);

    // The buffer as the kernel shows it now; nothing when it cannot be read or the output is not
    // open.
    std::optional<RawMidiOutputStatus> Read();

    struct Drained {
        RawMidiOutputStatus status;  // the last reading
        bool empty = false;          // the buffer was empty and stayed so over two readings
    };
    // Reads until the buffer is empty and stays so, or until `deadline`; nothing when it cannot
    // be read at all.
    std::optional<Drained> WaitUntilEmpty(std::chrono::steady_clock::time_point deadline);

  private:
    AlsaSeqLibrary& library_;
    std::string path_;
    int port_;
};

}  // namespace patchferry::midi::alsa

#pragma once
// A WinMM MIDI input driver for tests. It keeps the buffers it was given in order and calls back
// as a driver does: from the test's thread, or from a thread of its own that fills buffers one
// after another as a bank arrives. A reset returns the queued buffers at once, but the one being
// filled comes back later, from the driver's thread, as real drivers may do. It refuses what a
// driver refuses (unpreparing or closing while it holds buffers) and notes what no input may do:
// a multimedia call from inside the callback, a buffer given after the reset, a call after close.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "midi/MidiInputService.h"
#include "midi/winmm/WinMmInApi.h"

namespace patchferry::midi::winmm {

class FakeWinMmIn final : public WinMmInApi {
  public:
    ~FakeWinMmIn() override;

    // Set before the input opens.
    std::vector<std::wstring> names{L"UM-ONE", L"Soft Synth", L"Ger\u00e4t \u97f3"};
    MMRESULT startResult = MMSYSERR_NOERROR;
    MMRESULT unprepareResult = MMSYSERR_NOERROR;
    MMRESULT closeResult = MMSYSERR_NOERROR;
    MMRESULT addResult = MMSYSERR_NOERROR;  // from the call numbered addFailsFrom (1 = first) on
    int addFailsFrom = 0;
    bool keepBuffersOnReset = false;  // a broken driver: the reset returns nothing
    DWORD openFlags = 0;

    UINT GetNumDevs() override;
    MMRESULT GetDevCaps(UINT device, MIDIINCAPSW& caps) override;
    MMRESULT Open(HMIDIIN& in, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                  DWORD flags) override;
    MMRESULT Close(HMIDIIN in) override;
    MMRESULT PrepareHeader(HMIDIIN in, MIDIHDR& header) override;
    MMRESULT UnprepareHeader(HMIDIIN in, MIDIHDR& header) override;
    MMRESULT AddBuffer(HMIDIIN in, MIDIHDR& header) override;
    MMRESULT Start(HMIDIIN in) override;
    MMRESULT Reset(HMIDIIN in) override;

    // On the calling thread: the oldest queued buffer filled with `bytes` and returned as
    // `message`; false when the driver holds none.
    bool Fill(const std::vector<std::uint8_t>& bytes, UINT message = MIM_LONGDATA);
    void Short(DWORD_PTR packed);
    // From the driver's own thread: `piece` into each buffer given, one every `gap`, until the
    // reset. The piece being filled at the reset still comes back, after it.
    void StartBank(std::vector<std::uint8_t> piece, std::chrono::milliseconds gap);
    // Waits until the driver's thread has ended.
    void JoinBank();
    // Waits (a while) until the driver holds `count` buffers.
    bool WaitQueued(std::size_t count);

    std::vector<std::string> Calls() const;
    std::vector<std::string> Misuse() const;
    std::size_t Queued() const;
    std::size_t Filled() const;

  private:
    void Record(const std::string& call);  // with the lock held
    void Return(MIDIHDR* header, UINT message);
    void Call(UINT message, DWORD_PTR param1);
    void RunBank(std::vector<std::uint8_t> piece, std::chrono::milliseconds gap);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> calls_;
    std::vector<std::string> misuse_;
    std::deque<MIDIHDR*> queued_;
    MIDIHDR* filling_ = nullptr;  // taken off the queue by the driver's thread
    std::size_t filled_ = 0;
    int adds_ = 0;
    bool reset_ = false;
    bool closed_ = false;
    DWORD_PTR callback_ = 0;
    DWORD_PTR instance_ = 0;
    HMIDIIN native_ = nullptr;
    std::thread bank_;
};

// What the input hands on, from its own thread.
class ReceivedBytes {
  public:
    MidiInputSink Sink() {
        return [this](std::span<const std::uint8_t> bytes) {
            const std::lock_guard lock(mutex_);
            bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
            changed_.notify_all();
        };
    }
    bool WaitFor(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5),
                                 [&] { return bytes_.size() >= count; });
    }
    std::vector<std::uint8_t> Bytes() {
        const std::lock_guard lock(mutex_);
        return bytes_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace patchferry::midi::winmm

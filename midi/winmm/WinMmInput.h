#pragma once
// One open WinMM MIDI input. The service calls back (CALLBACK_FUNCTION) on a thread of its own,
// where no multimedia function may be called: the callback only records what arrived and wakes a
// thread of ours, which hands the bytes on and gives each filled long buffer back to the driver
// (midiInAddBuffer). Short messages come whole in MIM_DATA and are handed on as their bytes; SysEx
// comes in the long buffers, each handed on as it fills (MIM_LONGDATA). A buffer the driver
// reports broken (MIM_LONGERROR) is handed on with an undefined status byte (F4) after it, so a
// message being joined counts as cut.
//
// Closing stops the sink and the giving back, resets the input, waits (a while, not for ever)
// until the driver has returned every buffer, unprepares each and closes. Everything the driver
// may write to or call into lives apart from the input: should the driver refuse to close, that
// part is kept for the rest of the process, so no byte the driver writes later lands in freed
// memory.

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "midi/MidiInputService.h"
#include "midi/winmm/WinMmInApi.h"

namespace patchferry::midi::winmm {

inline constexpr std::size_t kInputBuffers = 4;
inline constexpr DWORD kInputBufferSize = 4096;
// How long closing waits for the driver to return its buffers after the reset.
inline constexpr std::chrono::milliseconds kInputReturnWait{2000};

// The text of a multimedia result, in UTF-8.
using WinMmErrorText = std::function<std::string(MMRESULT)>;

class WinMmInput final : public MidiInputConnection {
  public:
    WinMmInput(WinMmInApi& api, MidiInputSink sink, WinMmErrorText errorText);
    ~WinMmInput() override;  // Close()
    WinMmInput(const WinMmInput&) = delete;
    WinMmInput& operator=(const WinMmInput&) = delete;

    // Opens `device`, hands the driver its buffers and starts it; on failure everything done so
    // far is undone and the result says why.
    MMRESULT Open(UINT device);
    // Closes as described above; what went wrong, for the user (empty when nothing did). Closing
    // again does nothing.
    std::string Close();

    // Any thread may ask while the input is open; once it is closing, only the closing thread.
    std::string Problem() const override;

    // What the driver calls; `instance` is the part of the input the driver may touch.
    static void CALLBACK Callback(HMIDIIN in, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                  DWORD_PTR param2);

  private:
    struct Buffer {
        std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kInputBufferSize);
        MIDIHDR header{};
        bool withDriver = false;  // given to the driver and not yet returned through the callback
        bool prepared = false;
    };
    // Everything the driver may write to or call into. `mutex` guards all but the buffers' bytes
    // and headers, which belong to whoever holds the buffer (withDriver).
    struct DriverSide {
        std::array<Buffer, kInputBuffers> buffers;
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<std::uint8_t> arrived;  // not yet handed on
        std::vector<Buffer*> returned;      // filled and returned, not yet given back
        bool stopping = false;
        std::string problem;
        std::size_t lostBuffers = 0;  // given back without success

        void OnMessage(UINT message, DWORD_PTR param1);
        Buffer* Find(const MIDIHDR* header);
        bool AllReturned() const;
    };
    // Keeps `driver` for the rest of the process.
    static void Park(std::unique_ptr<DriverSide> driver);

    void Run(HMIDIIN native);
    MMRESULT GiveBack(HMIDIIN native, Buffer& buffer);
    std::string ErrorText(MMRESULT result) const;

    WinMmInApi& api_;
    MidiInputSink sink_;
    WinMmErrorText errorText_;
    HMIDIIN native_ = nullptr;  // used by the thread that opens and closes; the worker has a copy
    std::unique_ptr<DriverSide> driver_ = std::make_unique<DriverSide>();
    std::thread worker_;
    std::string closeProblem_;
};

// The bytes of a short message as MIM_DATA packs them: status in the low byte, then the data.
std::vector<std::uint8_t> ShortMessageBytes(DWORD_PTR packed);

}  // namespace patchferry::midi::winmm

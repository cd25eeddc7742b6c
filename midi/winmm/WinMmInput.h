#pragma once
// One open WinMM MIDI input. The service calls back (CALLBACK_FUNCTION) on a thread of its own:
// short messages come whole in MIM_DATA and are handed on as their bytes; SysEx comes in the
// long buffers given to the driver with midiInAddBuffer, each handed on as it fills (MIM_LONGDATA)
// and given back at once. A buffer the driver reports broken (MIM_LONGERROR) is handed on with
// an undefined status byte (F4) after it, so a message being joined counts as cut.
//
// Destroying it stops the sink first, then takes the buffers back, unprepares them and closes.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "midi/MidiInputService.h"
#include "midi/winmm/WinMmInApi.h"

namespace patchferry::midi::winmm {

inline constexpr std::size_t kInputBuffers = 4;
inline constexpr DWORD kInputBufferSize = 4096;

class WinMmInput final : public MidiInputConnection {
  public:
    WinMmInput(WinMmInApi& api, MidiInputSink sink);
    ~WinMmInput() override;
    WinMmInput(const WinMmInput&) = delete;
    WinMmInput& operator=(const WinMmInput&) = delete;

    // Opens `device`, hands the driver its buffers and starts it; on failure everything done so
    // far is undone and the result says why.
    MMRESULT Open(UINT device);

    // What the driver calls; `instance` is the input.
    static void CALLBACK Callback(HMIDIIN in, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                  DWORD_PTR param2);

  private:
    struct Buffer {
        std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kInputBufferSize);
        MIDIHDR header{};
    };
    void OnMessage(UINT message, DWORD_PTR param1);
    void Deliver(std::span<const std::uint8_t> bytes);
    void CloseNative();

    WinMmInApi& api_;
    MidiInputSink sink_;
    HMIDIIN native_ = nullptr;
    std::array<Buffer, kInputBuffers> buffers_;
    std::mutex mutex_;  // held while the sink runs
    std::atomic<bool> closing_{false};
};

// The bytes of a short message as MIM_DATA packs them: status in the low byte, then the data.
std::vector<std::uint8_t> ShortMessageBytes(DWORD_PTR packed);

}  // namespace patchferry::midi::winmm

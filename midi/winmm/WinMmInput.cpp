#include "midi/winmm/WinMmInput.h"

#include <utility>

namespace patchferry::midi::winmm {

namespace {
constexpr std::uint8_t kBrokenMarker = 0xF4;  // an undefined status byte: no message of its own
}  // namespace

std::vector<std::uint8_t> ShortMessageBytes(DWORD_PTR packed) {
    const auto status = static_cast<std::uint8_t>(packed & 0xFFU);
    std::size_t length = 1;
    if (status >= 0x80 && status < 0xF0) {
        const std::uint8_t kind = status & 0xF0U;
        length = kind == 0xC0 || kind == 0xD0 ? 2 : 3;
    } else if (status == 0xF1 || status == 0xF3) {
        length = 2;
    } else if (status == 0xF2) {
        length = 3;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < length; ++i) {
        bytes.push_back(static_cast<std::uint8_t>((packed >> (8 * i)) & 0xFFU));
    }
    return bytes;
}

WinMmInput::WinMmInput(WinMmInApi& api, MidiInputSink sink) : api_(api), sink_(std::move(sink)) {}

WinMmInput::~WinMmInput() {
    {
        // From here on the sink is never called: a callback running now finishes first.
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    CloseNative();
}

MMRESULT WinMmInput::Open(UINT device) {
    HMIDIIN native = nullptr;
    MMRESULT result = api_.Open(native, device, reinterpret_cast<DWORD_PTR>(&WinMmInput::Callback),
                                reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    native_ = native;
    for (Buffer& buffer : buffers_) {
        buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.bytes.data());
        buffer.header.dwBufferLength = kInputBufferSize;
        result = api_.PrepareHeader(native_, buffer.header);
        if (result == MMSYSERR_NOERROR) {
            result = api_.AddBuffer(native_, buffer.header);
        }
        if (result != MMSYSERR_NOERROR) {
            break;
        }
    }
    if (result == MMSYSERR_NOERROR) {
        result = api_.Start(native_);
    }
    if (result != MMSYSERR_NOERROR) {
        closing_ = true;
        CloseNative();
    }
    return result;
}

void WinMmInput::CloseNative() {
    if (native_ == nullptr) {
        return;
    }
    // Reset hands every buffer back (as done, and not given again while closing).
    api_.Reset(native_);
    for (Buffer& buffer : buffers_) {
        if ((buffer.header.dwFlags & MHDR_PREPARED) != 0) {
            api_.UnprepareHeader(native_, buffer.header);
        }
    }
    api_.Close(native_);
    native_ = nullptr;
}

void CALLBACK WinMmInput::Callback(HMIDIIN /*in*/, UINT message, DWORD_PTR instance,
                                   DWORD_PTR param1, DWORD_PTR /*param2*/) {
    reinterpret_cast<WinMmInput*>(instance)->OnMessage(message, param1);
}

void WinMmInput::Deliver(std::span<const std::uint8_t> bytes) {
    const std::lock_guard lock(mutex_);
    if (!closing_ && !bytes.empty()) {
        sink_(bytes);
    }
}

void WinMmInput::OnMessage(UINT message, DWORD_PTR param1) {
    switch (message) {
        case MIM_DATA:
            Deliver(ShortMessageBytes(param1));
            break;
        case MIM_LONGDATA:
        case MIM_LONGERROR: {
            auto* header = reinterpret_cast<MIDIHDR*>(param1);
            const auto* data = reinterpret_cast<const std::uint8_t*>(header->lpData);
            std::vector<std::uint8_t> bytes(data, data + header->dwBytesRecorded);
            if (message == MIM_LONGERROR) {
                bytes.push_back(kBrokenMarker);
            }
            Deliver(bytes);
            if (!closing_) {
                header->dwBytesRecorded = 0;
                api_.AddBuffer(native_, *header);
            }
            break;
        }
        case MIM_ERROR:
            Deliver(std::vector<std::uint8_t>{kBrokenMarker});
            break;
        default:
            break;
    }
}

}  // namespace patchferry::midi::winmm

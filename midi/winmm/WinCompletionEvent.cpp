#include <windows.h>

#include <stdexcept>

#include "midi/CompletionEvent.h"

namespace patchferry::midi {

// Manual reset, not signalled, unnamed, default security.
CompletionEvent::CompletionEvent() : handle_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (handle_ == nullptr) {
        throw std::runtime_error("Could not create the MIDI completion event.");
    }
}

CompletionEvent::~CompletionEvent() {
    CloseHandle(handle_);
}

void CompletionEvent::Set() {
    SetEvent(handle_);
}

void CompletionEvent::Reset() {
    ResetEvent(handle_);
}

CompletionEvent::WaitResult CompletionEvent::Wait(std::chrono::milliseconds timeout) {
    // INFINITE (0xFFFFFFFF) would never time out, so the longest wait stays just below it.
    constexpr long long kLongest = INFINITE - 1LL;
    const long long ms =
        timeout.count() < 0 ? 0 : (timeout.count() > kLongest ? kLongest : timeout.count());
    const DWORD result = WaitForSingleObject(handle_, static_cast<DWORD>(ms));
    return result == WAIT_OBJECT_0 ? WaitResult::Signalled : WaitResult::TimedOut;
}

}  // namespace patchferry::midi

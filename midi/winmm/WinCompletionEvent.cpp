// The event as a Windows kernel event object, so that the multimedia MIDI service can signal it
// itself (CALLBACK_EVENT).

#include <windows.h>

#include <stdexcept>

#include "midi/CompletionEvent.h"

namespace patchferry::midi {

struct CompletionEvent::State {
    HANDLE handle = nullptr;
};

// Manual reset, not signalled, unnamed, default security.
CompletionEvent::CompletionEvent() : state_(std::make_unique<State>()) {
    state_->handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (state_->handle == nullptr) {
        throw std::runtime_error("Could not create the MIDI completion event.");
    }
}

CompletionEvent::~CompletionEvent() {
    CloseHandle(state_->handle);
}

void CompletionEvent::Set() {
    SetEvent(state_->handle);
}

void CompletionEvent::Reset() {
    ResetEvent(state_->handle);
}

CompletionEvent::WaitResult CompletionEvent::Wait(std::chrono::milliseconds timeout) {
    // INFINITE (0xFFFFFFFF) would never time out, so the longest wait stays just below it.
    constexpr long long kLongest = INFINITE - 1LL;
    const long long ms =
        timeout.count() < 0 ? 0 : (timeout.count() > kLongest ? kLongest : timeout.count());
    const DWORD result = WaitForSingleObject(state_->handle, static_cast<DWORD>(ms));
    return result == WAIT_OBJECT_0 ? WaitResult::Signalled : WaitResult::TimedOut;
}

void* CompletionEvent::NativeHandle() const {
    return state_->handle;
}

}  // namespace patchferry::midi

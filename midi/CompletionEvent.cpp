// The event from the standard library's mutex and condition variable, for platforms whose MIDI
// service does not signal an event object of its own.

#include "midi/CompletionEvent.h"

#include <condition_variable>
#include <mutex>

namespace patchferry::midi {

struct CompletionEvent::State {
    std::mutex mutex;
    std::condition_variable signalled;
    bool set = false;
};

CompletionEvent::CompletionEvent() : state_(std::make_unique<State>()) {}
CompletionEvent::~CompletionEvent() = default;

void CompletionEvent::Set() {
    {
        const std::lock_guard lock(state_->mutex);
        state_->set = true;
    }
    state_->signalled.notify_all();
}

void CompletionEvent::Reset() {
    const std::lock_guard lock(state_->mutex);
    state_->set = false;
}

CompletionEvent::WaitResult CompletionEvent::Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(state_->mutex);
    const bool set = state_->signalled.wait_for(lock, timeout, [this] { return state_->set; });
    return set ? WaitResult::Signalled : WaitResult::TimedOut;
}

void* CompletionEvent::NativeHandle() const {
    return nullptr;
}

}  // namespace patchferry::midi

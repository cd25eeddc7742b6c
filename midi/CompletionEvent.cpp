#include "midi/CompletionEvent.h"

namespace patchferry::midi {

CompletionEvent::CompletionEvent() = default;
CompletionEvent::~CompletionEvent() = default;

void CompletionEvent::Set() {
    {
        const std::lock_guard lock(mutex_);
        set_ = true;
    }
    signalled_.notify_all();
}

void CompletionEvent::Reset() {
    const std::lock_guard lock(mutex_);
    set_ = false;
}

CompletionEvent::WaitResult CompletionEvent::Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const bool set = signalled_.wait_for(lock, timeout, [this] { return set_; });
    return set ? WaitResult::Signalled : WaitResult::TimedOut;
}

}  // namespace patchferry::midi

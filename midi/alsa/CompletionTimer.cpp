#include "midi/alsa/CompletionTimer.h"

namespace patchferry::midi::alsa {

CompletionTimer::CompletionTimer(CompletionEvent& event)
    : event_(event), thread_([this](const std::stop_token& stop) { Run(stop); }) {}

CompletionTimer::~CompletionTimer() {
    thread_.request_stop();
    thread_.join();
}

void CompletionTimer::SignalAfter(std::chrono::microseconds delay) {
    {
        const std::lock_guard lock(mutex_);
        deadline_ = std::chrono::steady_clock::now() + delay;
    }
    changed_.notify_all();
}

void CompletionTimer::Cancel() {
    {
        const std::lock_guard lock(mutex_);
        deadline_.reset();
    }
    changed_.notify_all();
}

bool CompletionTimer::IsPending() {
    const std::lock_guard lock(mutex_);
    return deadline_.has_value();
}

void CompletionTimer::Run(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        if (!deadline_) {
            changed_.wait(lock, stop, [this] { return deadline_.has_value(); });
            continue;
        }
        const auto due = *deadline_;
        // Wakes early when the deadline is replaced or cancelled.
        if (changed_.wait_until(lock, stop, due, [this, due] { return deadline_ != due; })) {
            continue;
        }
        if (stop.stop_requested()) {
            break;
        }
        deadline_.reset();
        event_.Set();
    }
}

}  // namespace patchferry::midi::alsa

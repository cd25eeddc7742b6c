#pragma once
// Signals a completion event from its own thread once a deadline has passed; a cancel (or a new
// deadline) replaces the pending one.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "midi/CompletionEvent.h"

namespace patchferry::midi::alsa {

class CompletionTimer {
  public:
    explicit CompletionTimer(CompletionEvent& event);
    ~CompletionTimer();  // cancels and stops the thread; never signals after that
    CompletionTimer(const CompletionTimer&) = delete;
    CompletionTimer& operator=(const CompletionTimer&) = delete;

    void SignalAfter(std::chrono::microseconds delay);
    void Cancel();
    // A deadline is set and has not passed yet.
    bool IsPending();

  private:
    void Run(const std::stop_token& stop);

    CompletionEvent& event_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    std::jthread thread_;  // last: starts once everything above exists
};

}  // namespace patchferry::midi::alsa

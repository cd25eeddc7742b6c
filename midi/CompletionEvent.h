#pragma once
// A manual-reset event: starts unsignalled, stays signalled once Set until Reset. Set may come
// from any thread (the MIDI backend signals it from its own context). Each platform builds it
// from its own primitive; on Windows it is a kernel event object that the multimedia MIDI service
// signals directly.

#include <chrono>
#include <memory>

namespace patchferry::midi {

class CompletionEvent {
  public:
    enum class WaitResult { Signalled, TimedOut };

    CompletionEvent();
    ~CompletionEvent();
    CompletionEvent(const CompletionEvent&) = delete;
    CompletionEvent& operator=(const CompletionEvent&) = delete;

    void Set();
    void Reset();
    // Returns at once when signalled; otherwise waits up to `timeout` for a Set.
    WaitResult Wait(std::chrono::milliseconds timeout);

    // The platform object behind the event for a service that signals it itself (the event
    // object's HANDLE on Windows); null where there is none.
    void* NativeHandle() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace patchferry::midi

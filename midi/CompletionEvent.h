#pragma once
// A manual-reset event: starts unsignalled, stays signalled once Set until Reset. Set may come
// from any thread (the MIDI backend signals it from its own context). On Windows it is a kernel
// event object, so the multimedia MIDI service can signal it directly.

#include <chrono>

#ifndef _WIN32
#include <condition_variable>
#include <mutex>
#endif

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

#ifdef _WIN32
    // The event object's HANDLE, for the multimedia MIDI service to signal.
    void* NativeHandle() const {
        return handle_;
    }

  private:
    void* handle_;
#else
  private:
    std::mutex mutex_;
    std::condition_variable signalled_;
    bool set_ = false;
#endif
};

}  // namespace patchferry::midi

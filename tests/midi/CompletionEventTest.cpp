#include "midi/CompletionEvent.h"

#include <gtest/gtest.h>

#include <thread>

namespace patchferry::midi {
namespace {

using namespace std::chrono_literals;
using WaitResult = CompletionEvent::WaitResult;

TEST(CompletionEventTest, StartsUnsignalledAndStaysSetUntilReset) {
    CompletionEvent event;
    EXPECT_EQ(event.Wait(1ms), WaitResult::TimedOut);
    event.Set();
    EXPECT_EQ(event.Wait(0ms), WaitResult::Signalled);
    EXPECT_EQ(event.Wait(0ms), WaitResult::Signalled);  // manual reset: a wait does not clear it
    event.Reset();
    EXPECT_EQ(event.Wait(1ms), WaitResult::TimedOut);
}

TEST(CompletionEventTest, WakesAWaiterWhenSetFromAnotherThread) {
    CompletionEvent event;
    std::jthread setter([&event] {
        std::this_thread::sleep_for(20ms);
        event.Set();
    });
    EXPECT_EQ(event.Wait(10s), WaitResult::Signalled);
}

}  // namespace
}  // namespace patchferry::midi

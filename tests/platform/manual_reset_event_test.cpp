#include "platform/manual_reset_event.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace quorvel {
namespace {

TEST(ManualResetEvent, StaysSetForEveryWaiterUntilReset) {
    auto event = std::make_shared<ManualResetEvent>();
    EXPECT_FALSE(event->Wait(10ms));
    std::thread setter([event] { event->Set(); });
    EXPECT_TRUE(event->Wait(5s));
    setter.join();
    EXPECT_TRUE(event->Wait(0ms)); // still set for a later waiter
    event->Reset();
    EXPECT_FALSE(event->IsSet());
}

TEST(ManualResetEvent, OutlivesTheThreadThatCreatedIt) {
    std::shared_ptr<ManualResetEvent> kept;
    std::thread owner([&kept] {
        auto event = std::make_shared<ManualResetEvent>();
        kept = event;
        event->Set();
    });
    owner.join();
    EXPECT_TRUE(kept->IsSet());
}

} // namespace
} // namespace quorvel

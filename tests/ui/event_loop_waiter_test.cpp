// Waiting on the user-interface thread: ends on the event or the limit, keeps other work going, can be cut short.

#include "platform/manual_reset_event.h"
#include "qt_test_support.h"
#include "ui/event_loop_waiter.h"

#include <QElapsedTimer>

#include <thread>

namespace quorvel::test {
namespace {

using namespace std::chrono_literals;

class EventLoopWaiterTest : public QtTest {
protected:
    EventLoopWaiter waiter;
    ManualResetEvent event;
    QElapsedTimer clock;
};

TEST_F(EventLoopWaiterTest, EndsWhenAnotherThreadSetsTheEvent) {
    std::thread watcher([&] {
        std::this_thread::sleep_for(100ms);
        event.Set();
    });
    clock.start();
    EXPECT_TRUE(waiter.WaitFor(event, 10s));
    EXPECT_LT(clock.elapsed(), 5000);
    watcher.join();
    // Set already: no wait at all.
    EXPECT_TRUE(waiter.WaitFor(event, 10s));
}

TEST_F(EventLoopWaiterTest, EndsAtTheLimitWithoutTheEvent) {
    clock.start();
    EXPECT_FALSE(waiter.WaitFor(event, 200ms));
    EXPECT_GE(clock.elapsed(), 200);
    clock.restart();
    waiter.Pause(150ms);
    EXPECT_GE(clock.elapsed(), 150);
}

TEST_F(EventLoopWaiterTest, OtherWorkOfTheThreadGoesOnMeanwhile) {
    bool ran = false;
    QTimer::singleShot(30, [&] {
        ran = true;
        event.Set();
    });
    EXPECT_TRUE(waiter.WaitFor(event, 10s));
    EXPECT_TRUE(ran);
}

TEST_F(EventLoopWaiterTest, AnInterruptEndsTheWaitAndTheNextOnesUntilResumed) {
    QTimer::singleShot(50, [&] { waiter.Interrupt(); });
    clock.start();
    EXPECT_FALSE(waiter.WaitFor(event, 60s));
    EXPECT_LT(clock.elapsed(), 5000);
    clock.restart();
    waiter.Pause(10s);
    EXPECT_LT(clock.elapsed(), 1000);

    waiter.Resume();
    clock.restart();
    waiter.Pause(100ms);
    EXPECT_GE(clock.elapsed(), 100);
}

TEST_F(EventLoopWaiterTest, AnInterruptReachesAnOuterWaitToo) {
    ManualResetEvent inner;
    QTimer::singleShot(20, [&] {
        // A wait inside the wait, as a message box during Start would run one.
        QTimer::singleShot(30, [&] { waiter.Interrupt(); });
        waiter.WaitFor(inner, 60s);
    });
    clock.start();
    EXPECT_FALSE(waiter.WaitFor(event, 60s));
    EXPECT_LT(clock.elapsed(), 5000);
}

} // namespace
} // namespace quorvel::test

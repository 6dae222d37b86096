#include "ui/event_loop_waiter.h"

#include "platform/manual_reset_event.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace quorvel {

template <typename Done> void EventLoopWaiter::Run(std::chrono::milliseconds limit, Done done) {
    if (m_interrupted || done()) {
        return;
    }
    QEventLoop loop;
    QPointer<QEventLoop> outer = m_loop;
    m_loop = &loop;

    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(kPollInterval);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (m_interrupted || done() || clock.hasExpired(limit.count())) {
            loop.quit();
        }
    });
    poll.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_loop = outer;
}

bool EventLoopWaiter::WaitFor(const ManualResetEvent& event, std::chrono::milliseconds limit) {
    Run(limit, [&event] { return event.IsSet(); });
    return event.IsSet();
}

void EventLoopWaiter::Pause(std::chrono::milliseconds duration) {
    Run(duration, [] { return false; });
}

void EventLoopWaiter::Interrupt() {
    m_interrupted = true;
    if (m_loop) {
        m_loop->quit();
    }
}

void EventLoopWaiter::Resume() {
    m_interrupted = false;
}

} // namespace quorvel

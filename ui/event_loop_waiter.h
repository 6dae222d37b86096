#pragma once

#include "tor/surfing_session.h"

#include <QPointer>

class QEventLoop;

namespace quorvel {

// Waits in a local event loop that takes no user input: the program keeps painting and keeps answering the
// event watcher's calls, but the menu cannot open until the wait is over.
class EventLoopWaiter final : public SessionWaiter {
public:
    bool WaitFor(const ManualResetEvent& event, std::chrono::milliseconds limit) override;
    void Pause(std::chrono::milliseconds duration) override;

    // Ends the current wait and lets later ones return at once (the program is ending), until Resume().
    void Interrupt();
    void Resume();
    bool IsInterrupted() const { return m_interrupted; }

    // How often a wait looks at its event.
    static constexpr std::chrono::milliseconds kPollInterval{20};

private:
    // Runs a local loop until `done` says so or the time is up.
    template <typename Done> void Run(std::chrono::milliseconds limit, Done done);

    bool m_interrupted = false;
    QPointer<QEventLoop> m_loop;
};

} // namespace quorvel

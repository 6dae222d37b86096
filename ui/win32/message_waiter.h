#pragma once

#include "tor/surfing_session.h"

namespace quorvel::win32 {

// Waits while dispatching only painting, posted and sent messages: the program keeps painting and keeps answering
// the event watcher's calls, while clicks and keys wait in the queue until the wait is over.
class MessageWaiter final : public SessionWaiter {
public:
    bool WaitFor(const ManualResetEvent& event, std::chrono::milliseconds limit) override;
    void Pause(std::chrono::milliseconds duration) override;

    // Ends the current wait and lets later ones return at once (the program is ending), until Resume().
    void Interrupt() { m_interrupted = true; }
    void Resume() { m_interrupted = false; }
    bool IsInterrupted() const { return m_interrupted; }

    // Dispatches the waiting non-input messages once; false when the program's loop was asked to end.
    static bool PumpWithoutInput();

    // How often a wait looks at its event.
    static constexpr std::chrono::milliseconds kPollInterval{20};

private:
    template <typename Done> void Run(std::chrono::milliseconds limit, Done done);

    bool m_interrupted = false;
};

} // namespace quorvel::win32

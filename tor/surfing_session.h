#pragma once

#include <chrono>

namespace quorvel {

class ManualResetEvent;

// Every long wait of the user-interface thread goes through this, so the tray program can keep painting (the
// icon docks, the waiting balloon shows) while it takes no user input.
class SessionWaiter {
public:
    virtual ~SessionWaiter() = default;
    // Waits until the event is set or the limit has passed; true when it is set.
    virtual bool WaitFor(const ManualResetEvent& event, std::chrono::milliseconds limit) = 0;
    // Lets the time pass.
    virtual void Pause(std::chrono::milliseconds duration) = 0;
};

// Waits by blocking the calling thread, for callers without an event loop.
class BlockingWaiter final : public SessionWaiter {
public:
    bool WaitFor(const ManualResetEvent& event, std::chrono::milliseconds limit) override;
    void Pause(std::chrono::milliseconds duration) override;
};

} // namespace quorvel

#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace quorvel {

// An event that stays set once set until Reset(). Shared through shared_ptr so that it outlives every waiter.
class ManualResetEvent {
public:
    void Set();
    void Reset();
    bool IsSet() const;
    // True when the event is (or becomes) set within the limit.
    bool Wait(std::chrono::milliseconds limit) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_set = false;
};

} // namespace quorvel

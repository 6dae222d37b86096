#include "tor/surfing_session.h"

#include "platform/manual_reset_event.h"

#include <thread>

namespace quorvel {

bool BlockingWaiter::WaitFor(const ManualResetEvent& event, std::chrono::milliseconds limit) {
    return event.Wait(limit);
}

void BlockingWaiter::Pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace quorvel

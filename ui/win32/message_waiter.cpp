#include "ui/win32/message_waiter.h"

#include "platform/manual_reset_event.h"

#include <windows.h>

#include <algorithm>

namespace quorvel::win32 {

bool MessageWaiter::PumpWithoutInput() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE)) {
        if (msg.message == WM_QUIT) {
            // Left for the program's own loop, which ends on it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        DispatchMessageW(&msg);
    }
    return true;
}

template <typename Done> void MessageWaiter::Run(std::chrono::milliseconds limit, Done done) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(std::max<long long>(limit.count(), 0));
    while (!m_interrupted && !done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) {
            return;
        }
        const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(end - now, kPollInterval.count()));
        MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER, 0);
        if (!PumpWithoutInput()) {
            m_interrupted = true;
        }
    }
}

bool MessageWaiter::WaitFor(const ManualResetEvent& event, std::chrono::milliseconds limit) {
    Run(limit, [&event] { return event.IsSet(); });
    return event.IsSet();
}

void MessageWaiter::Pause(std::chrono::milliseconds duration) {
    Run(duration, [] { return false; });
}

} // namespace quorvel::win32

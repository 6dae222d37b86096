#include "platform/win32/session_end.h"

namespace quorvel {

std::optional<LRESULT> SessionEnd::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // Also when another program refused the end (wParam FALSE): Tor is halted and the settings come back
        // either way, as the session may still end by force.
        if (m_onEnd) {
            m_onEnd();
        }
        return DefWindowProcW(window, message, wParam, lParam);
    default:
        return std::nullopt;
    }
}

} // namespace quorvel

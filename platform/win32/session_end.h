#pragma once

#include <windows.h>

#include <functional>
#include <optional>

namespace quorvel {

// The end of the Windows session as a top-level window receives it. WM_QUERYENDSESSION is always agreed to;
// WM_ENDSESSION runs `onEnd` (Stop) whatever its ending flag says, and the window's default handling follows.
// The tray window's procedure hands every message to Handle() first.
class SessionEnd {
public:
    explicit SessionEnd(std::function<void()> onEnd) : m_onEnd(std::move(onEnd)) {}

    // The result to return for a session-end message; nothing for every other message.
    std::optional<LRESULT> Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    std::function<void()> m_onEnd;
};

} // namespace quorvel

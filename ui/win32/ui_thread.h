#pragma once

#include <windows.h>

#include <functional>

namespace quorvel::win32 {

// The message that carries work from another thread to the user-interface thread's hidden window.
inline constexpr UINT kRunOnUiThreadMessage = WM_APP + 1;

// Brings calls from other threads (the event watcher, the country-list worker) to the user-interface thread: the
// work is posted to the tray window and the caller waits until it has run there. Posted messages are dispatched
// by every message loop of that thread, the modal ones and the no-input waits included.
class UiThread {
public:
    // Called on the user-interface thread once its hidden window exists.
    static void Attach(HWND window);
    // The program's loop has ended: calls not yet begun are dropped, their callers stop waiting.
    static void Detach();
    static bool IsUiThread();

    // Runs `work` on the user-interface thread (at once when already there) and returns when it has run, or
    // false when it was dropped.
    static bool Run(const std::function<void()>& work);

    // The window procedure's part: runs the work of a kRunOnUiThreadMessage.
    static void RunPosted(LPARAM task);
};

} // namespace quorvel::win32

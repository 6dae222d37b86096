#include "platform/win32/session_end.h"
#include "platform/win32/wide_text.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

int g_stops = 0;
SessionEnd g_sessionEnd([] { ++g_stops; });

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto handled = g_sessionEnd.Handle(window, message, wParam, lParam)) {
        return *handled;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(SessionEnd, AgreesToTheEndAndStopsWhateverTheEndingFlagSays) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuorvelSessionEndTest";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    // A hidden top-level window: the system sends the session-end messages only to those. Wine without a
    // display (the tests run without one) has no top-level windows; a message-only window runs the same
    // procedure there, which is what this checks.
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (window == nullptr && win32::RunningUnderWine()) {
        window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 windowClass.hInstance, nullptr);
    }
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(g_stops, 0);
    SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(g_stops, 1);
    SendMessageW(window, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(g_stops, 2);
    SendMessageW(window, WM_CLOSE + 0x1000, 0, 0); // any other message passes by
    EXPECT_EQ(g_stops, 2);
    DestroyWindow(window);
}

} // namespace
} // namespace quorvel

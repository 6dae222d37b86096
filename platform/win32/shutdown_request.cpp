#include "platform/shutdown_request.h"

#include <windows.h>

#include <atomic>
#include <csignal>

namespace quorvel {

namespace {

HANDLE g_event = nullptr;
std::atomic<int> g_lastSignal{0};

constexpr int kHangUp = 1;

BOOL WINAPI OnControlEvent(DWORD type) {
    switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        g_lastSignal = SIGINT;
        break;
    case CTRL_CLOSE_EVENT:
        g_lastSignal = kHangUp;
        break;
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        g_lastSignal = SIGTERM;
        break;
    default:
        return FALSE;
    }
    SetEvent(g_event);
    return TRUE;
}

} // namespace

ShutdownRequestSource& ShutdownRequestSource::Install() {
    static ShutdownRequestSource source;
    return source;
}

ShutdownRequestSource::ShutdownRequestSource() {
    g_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (g_event == nullptr) {
        return;
    }
    m_event = g_event;
    SetConsoleCtrlHandler(OnControlEvent, TRUE);
}

bool ShutdownRequestSource::TakeRequest() {
    if (m_event == nullptr || WaitForSingleObject(m_event, 0) != WAIT_OBJECT_0) {
        return false;
    }
    ResetEvent(m_event);
    return true;
}

int ShutdownRequestSource::LastSignal() const {
    return g_lastSignal.load();
}

} // namespace quorvel

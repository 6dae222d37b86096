#pragma once

namespace quorvel {

// Turns SIGTERM, SIGHUP and SIGINT into a readable byte on a pipe (the self-pipe trick), so that the tray
// program's event loop can run Stop on its own thread instead of inside a signal handler. On Windows the console's
// control events (Ctrl+C, Ctrl+Break, close, log-off, shut-down) set a manual-reset event instead; they arrive on
// a thread of their own, so the same holds there.
// One per process; Install() may be called again and returns the same source.
class ShutdownRequestSource {
public:
    static ShutdownRequestSource& Install();

#ifdef _WIN32
    // A manual-reset event HANDLE, signalled from a request until TakeRequest().
    void* RequestEvent() const { return m_event; }
#else
    // Becomes readable when a request arrived. Non-blocking.
    int ReadFd() const { return m_readFd; }
#endif
    // Consumes pending request bytes; true when at least one request had arrived.
    bool TakeRequest();
    // The last signal number received (0 when none). On Windows the signal each control event stands for:
    // SIGINT for Ctrl+C and Ctrl+Break, 1 (SIGHUP) for the console's close, SIGTERM for log-off and shut-down.
    int LastSignal() const;

private:
    ShutdownRequestSource();
#ifdef _WIN32
    void* m_event = nullptr;
#else
    int m_readFd = -1;
#endif
};

} // namespace quorvel

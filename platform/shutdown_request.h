#pragma once

namespace quorvel {

// Turns SIGTERM, SIGHUP and SIGINT into a readable byte on a pipe (the self-pipe trick), so that the tray
// program's event loop can run Stop on its own thread instead of inside a signal handler.
// One per process; Install() may be called again and returns the same source.
class ShutdownRequestSource {
public:
    static ShutdownRequestSource& Install();

    // Becomes readable when a request arrived. Non-blocking.
    int ReadFd() const { return m_readFd; }
    // Consumes pending request bytes; true when at least one request had arrived.
    bool TakeRequest();
    // The last signal number received (0 when none).
    int LastSignal() const;

private:
    ShutdownRequestSource();
    int m_readFd = -1;
};

} // namespace quorvel

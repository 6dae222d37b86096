#include "platform/shutdown_request.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace quorvel {

namespace {

// Only what a signal handler may touch: a descriptor and an atomic number.
int g_writeFd = -1;
volatile std::sig_atomic_t g_lastSignal = 0;

void OnSignal(int signal) {
    const int savedErrno = errno;
    g_lastSignal = signal;
    const char byte = 1;
    // Non-blocking: when the pipe is full a request is pending anyway, and the handler must never block.
    [[maybe_unused]] ssize_t ignored = ::write(g_writeFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

ShutdownRequestSource& ShutdownRequestSource::Install() {
    static ShutdownRequestSource source;
    return source;
}

ShutdownRequestSource::ShutdownRequestSource() {
    int ends[2];
    if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) {
        return;
    }
    m_readFd = ends[0];
    g_writeFd = ends[1];

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        ::sigaction(signal, &action, nullptr);
    }
}

bool ShutdownRequestSource::TakeRequest() {
    if (m_readFd < 0) {
        return false;
    }
    bool any = false;
    char buffer[256];
    for (;;) {
        ssize_t n = ::read(m_readFd, buffer, sizeof buffer);
        if (n > 0) {
            any = true;
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return any; // empty (EAGAIN) or an error
    }
}

int ShutdownRequestSource::LastSignal() const {
    return g_lastSignal;
}

} // namespace quorvel

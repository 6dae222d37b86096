#include "platform/shutdown_request.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>

namespace quorvel {
namespace {

bool Readable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, 0) == 1 && (entry.revents & POLLIN) != 0;
}

TEST(ShutdownRequestSource, EachSignalBecomesOneRequestOnThePipe) {
    ShutdownRequestSource& source = ShutdownRequestSource::Install();
    EXPECT_EQ(&source, &ShutdownRequestSource::Install());
    ASSERT_GE(source.ReadFd(), 0);
    EXPECT_NE(::fcntl(source.ReadFd(), F_GETFL) & O_NONBLOCK, 0);
    EXPECT_NE(::fcntl(source.ReadFd(), F_GETFD) & FD_CLOEXEC, 0);
    source.TakeRequest(); // whatever an earlier test left
    EXPECT_FALSE(source.TakeRequest());
    EXPECT_FALSE(Readable(source.ReadFd()));

    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        ASSERT_EQ(::raise(signal), 0); // the process must survive it
        EXPECT_TRUE(Readable(source.ReadFd())) << signal;
        EXPECT_EQ(source.LastSignal(), signal);
        EXPECT_TRUE(source.TakeRequest());
        EXPECT_FALSE(source.TakeRequest()); // drained
        EXPECT_FALSE(Readable(source.ReadFd()));
    }
}

TEST(ShutdownRequestSource, AFloodOfSignalsNeverBlocksTheHandler) {
    ShutdownRequestSource& source = ShutdownRequestSource::Install();
    // More requests than the pipe holds: the handler's write must fail quietly instead of blocking forever.
    const int capacity = ::fcntl(source.ReadFd(), F_SETPIPE_SZ, 4096);
    ASSERT_GT(capacity, 0);
    for (int i = 0; i <= capacity; ++i) {
        ::raise(SIGHUP);
    }
    ::fcntl(source.ReadFd(), F_SETPIPE_SZ, 65536);
    EXPECT_TRUE(source.TakeRequest());
    EXPECT_FALSE(source.TakeRequest());
    EXPECT_EQ(source.LastSignal(), SIGHUP);
}

} // namespace
} // namespace quorvel

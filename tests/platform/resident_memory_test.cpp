#include "platform/resident_memory.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace quorvel {
namespace {

TEST(ResidentMemory, OnlyReadOnlyPrivatePagesOfRegularFilesThatWereNeverWrittenAreLetGo) {
    EXPECT_TRUE(FilePagesMayBeDropped("r-xp", "/usr/lib/libx.so", 0, false));
    EXPECT_TRUE(FilePagesMayBeDropped("r--p", "/usr/share/fonts/a.ttf", 0, false));
    EXPECT_FALSE(FilePagesMayBeDropped("r--p", "/usr/lib/libx.so", 4, false)); // relocated, now read-only
    EXPECT_FALSE(FilePagesMayBeDropped("rw-p", "/usr/lib/libx.so", 0, false));
    EXPECT_FALSE(FilePagesMayBeDropped("r--s", "/memfd:xorg (deleted)", 0, false));
    EXPECT_FALSE(FilePagesMayBeDropped("r--s", "/tmp/shared", 0, false));
    EXPECT_FALSE(FilePagesMayBeDropped("r--p", "/dev/dri/card0", 0, false));
    EXPECT_FALSE(FilePagesMayBeDropped("r--p", "[vvar]", 0, false));
    EXPECT_FALSE(FilePagesMayBeDropped("r-xp", "/usr/lib/libx.so", 0, true));
}

TEST(ResidentMemory, APageWrittenBeforeItWasMadeReadOnlyKeepsItsContent) {
    test::TestEnvironment env;
    const std::string path = env.Home() + "/mapped";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    const long page = ::sysconf(_SC_PAGESIZE);
    ASSERT_EQ(::ftruncate(fd, page * 2), 0);
    // As the loader does with relocated data: a private copy written, then made read-only.
    auto* bytes = static_cast<char*>(::mmap(nullptr, page * 2, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0));
    ::close(fd);
    ASSERT_NE(bytes, MAP_FAILED);
    std::strcpy(bytes, "relocated");
    ASSERT_EQ(::mprotect(bytes, page * 2, PROT_READ), 0);

    TrimResidentMemory();

    EXPECT_STREQ(bytes, "relocated");
    EXPECT_EQ(bytes[page], 0);
    ::munmap(bytes, page * 2);
}

} // namespace
} // namespace quorvel

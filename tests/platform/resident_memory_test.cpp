#include "platform/linux/linker_tables.h"
#include "platform/resident_memory.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace quorvel {
namespace {

// The resident kilobytes of the mapping that starts at `begin` in this process, or -1.
long ResidentKilobytesAt(std::uintptr_t begin) {
    std::ifstream file("/proc/self/smaps");
    std::string line;
    bool found = false;
    while (std::getline(file, line)) {
        unsigned long start = 0;
        unsigned long end = 0;
        long kilobytes = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &start, &end) == 2) {
            found = start == begin;
        } else if (found && std::sscanf(line.c_str(), "Rss: %ld", &kilobytes) == 1) {
            return kilobytes;
        }
    }
    return -1;
}

TEST(ResidentMemoryTest, OnlyUnwrittenReadOnlyStartsOfFilesAreTaken) {
    const std::string smaps = "1000-3000 r--p 00000000 08:01 77 /lib/libx.so\n"
                              "Rss:                   8 kB\n"
                              "Anonymous:             0 kB\n"
                              "VmFlags: rd mr mw me\n"
                              // The relocated part of the same file, written at start-up.
                              "5000-6000 r--p 00004000 08:01 77 /lib/libx.so\n"
                              "Anonymous:             4 kB\n"
                              "7000-8000 r--p 00000000 08:01 78 /lib/liby.so\n"
                              "Anonymous:             4 kB\n"
                              "9000-a000 r-xp 00000000 08:01 79 /lib/libz.so\n"
                              "Anonymous:             0 kB\n"
                              "b000-c000 rw-p 00000000 08:01 80 /tmp/data\n"
                              "Anonymous:             0 kB\n"
                              "d000-e000 r--p 00000000 00:00 0 \n"
                              "Anonymous:             0 kB\n"
                              "f000-10000 r--s 00000000 08:01 81 /tmp/shared\n"
                              "Anonymous:             0 kB\n"
                              // Cut short before its page counts.
                              "11000-12000 r--p 00000000 08:01 82 /lib/libw.so\n"
                              "Rss:                   4 kB\n";
    const std::vector<MappedRange> taken = UnchangedFileStarts(smaps);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].begin, 0x1000u);
    EXPECT_EQ(taken[0].end, 0x3000u);
}

TEST(ResidentMemoryTest, AfterTheTrimTheLinkerTablesAreGoneAndTheProcessStillLinksAndUnwinds) {
    const std::vector<MappedRange> tables = UnchangedFileStarts(test::ReadFileBytes("/proc/self/smaps"));
    ASSERT_FALSE(tables.empty());
    long before = 0;
    for (const MappedRange& range : tables) {
        before += ResidentKilobytesAt(range.begin);
    }
    ASSERT_GT(before, 0);

    TrimResidentMemory();

    long after = 0;
    for (const MappedRange& range : tables) {
        after += ResidentKilobytesAt(range.begin);
    }
    EXPECT_LT(after, before);
    // Relocated vtables and type information were kept: streams and exceptions still work.
    std::ostringstream out;
    out << "linked " << 42;
    EXPECT_EQ(out.str(), "linked 42");
    EXPECT_THROW(throw std::runtime_error(out.str()), std::runtime_error);
    // Symbols are still found through the tables, mapped back from their files.
    void* math = ::dlopen("libm.so.6", RTLD_NOW);
    ASSERT_NE(math, nullptr);
    EXPECT_NE(::dlsym(math, "cos"), nullptr);
    ::dlclose(math);
}

} // namespace
} // namespace quorvel

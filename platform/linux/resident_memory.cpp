#include "platform/resident_memory.h"

#include "platform/linux/linker_tables.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace quorvel {

namespace {

constexpr char kElfMagic[] = {0x7f, 'E', 'L', 'F'};

void ReleaseLinkerTables() {
    std::ifstream file("/proc/self/smaps");
    const std::string smaps((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (const MappedRange& range : UnchangedFileStarts(smaps)) {
        auto* start = reinterpret_cast<void*>(range.begin);
        if (std::memcmp(start, kElfMagic, sizeof kElfMagic) == 0) {
            // The pages stay in the page cache; a later symbol lookup maps them back from the file.
            ::madvise(start, range.end - range.begin, MADV_DONTNEED);
        }
    }
}

} // namespace

void TrimResidentMemory() {
    ::malloc_trim(0);
    ReleaseLinkerTables();
}

} // namespace quorvel

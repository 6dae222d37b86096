#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvel {

struct MappedRange {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
};

// From the text of /proc/self/smaps: each private read-only mapping of a file from its start that holds none of the
// process's own pages. For a library or the program these are the dynamic linker's tables, read while linking at
// start-up; the caller still checks that the file is ELF.
std::vector<MappedRange> UnchangedFileStarts(std::string_view smaps);

} // namespace quorvel

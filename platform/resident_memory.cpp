#include "platform/resident_memory.h"

#include <cstdint>
#include <fstream>
#include <malloc.h>
#include <sstream>
#include <sys/mman.h>
#include <vector>

namespace quorvel {

bool FilePagesMayBeDropped(const std::string& permissions, const std::string& path, std::size_t anonymousKb,
                           bool locked) {
    // A written (copied) page would lose its content; a shared or device mapping is not ours alone to let go.
    return permissions.size() == 4 && permissions[0] == 'r' && permissions[1] != 'w' && permissions[3] == 'p' &&
           path.starts_with('/') && !path.starts_with("/dev/") && anonymousKb == 0 && !locked;
}

namespace {

struct Mapping {
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
    std::string permissions;
    std::string path;
    std::size_t anonymousKb = 0;
    bool locked = false;
};

// Every mapping of this process with what the drop decision needs.
std::vector<Mapping> OwnMappings() {
    std::vector<Mapping> mappings;
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    while (std::getline(smaps, line)) {
        std::istringstream fields(line);
        std::string first;
        fields >> first;
        if (const auto dash = first.find('-'); dash != std::string::npos && first.back() != ':') {
            Mapping mapping;
            mapping.start = std::stoull(first.substr(0, dash), nullptr, 16);
            mapping.end = std::stoull(first.substr(dash + 1), nullptr, 16);
            std::string offset, device, inode;
            fields >> mapping.permissions >> offset >> device >> inode;
            std::getline(fields >> std::ws, mapping.path);
            mappings.push_back(std::move(mapping));
        } else if (mappings.empty()) {
            continue;
        } else if (first == "Anonymous:") {
            fields >> mappings.back().anonymousKb;
        } else if (first == "VmFlags:") {
            for (std::string flag; fields >> flag;) {
                mappings.back().locked = mappings.back().locked || flag == "lo";
            }
        }
    }
    return mappings;
}

} // namespace

std::size_t TrimResidentMemory() {
    malloc_trim(0);
    std::size_t dropped = 0;
    for (const Mapping& mapping : OwnMappings()) {
        if (FilePagesMayBeDropped(mapping.permissions, mapping.path, mapping.anonymousKb, mapping.locked) &&
            ::madvise(reinterpret_cast<void*>(mapping.start), mapping.end - mapping.start, MADV_DONTNEED) == 0) {
            dropped += mapping.end - mapping.start;
        }
    }
    return dropped;
}

} // namespace quorvel

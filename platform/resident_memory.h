#pragma once

#include <cstddef>
#include <string>

namespace quorvel {

// Shrinks what the process keeps resident once start-up is over:
// - heap pages that start-up used and freed go back to the system (the allocator keeps them otherwise, since they
//   lie between pages still in use);
// - pages of program and library files that were only read (start-up code, tables) are let go; they stay in the
//   system's file cache and come back without a read from disk the moment they are used again.
// Pages the process has written are never touched. Returns the bytes of file pages let go.
std::size_t TrimResidentMemory();

// Whether a mapping as /proc/PID/smaps lists it may be let go: a private, read-only mapping of a regular file
// with no page of its own (Anonymous 0), not locked.
bool FilePagesMayBeDropped(const std::string& permissions, const std::string& path, std::size_t anonymousKb,
                           bool locked);

} // namespace quorvel

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvel::fuzz {

// A file of this process in a private folder (on /dev/shm when there is one, so the rewrites' fsync costs
// nothing), holding exactly the given bytes. The folder goes when the process ends.
std::string ScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);
std::string ScratchPath(const std::string& name);
// The whole file; empty when it is missing.
std::string ReadBytes(const std::string& path);

} // namespace quorvel::fuzz

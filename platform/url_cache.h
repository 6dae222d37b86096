#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvel {

// Entry type bits of Internet Explorer's URL cache, as the cache reports them.
inline constexpr std::uint32_t kNormalCacheEntry = 0x00000001;
inline constexpr std::uint32_t kCookieCacheEntry = 0x00100000;
inline constexpr std::uint32_t kUrlHistoryCacheEntry = 0x00200000;

struct UrlCacheEntry {
    std::string sourceUrl;
    std::uint32_t type = 0;
};

// Internet Explorer's URL cache, enumerated the way the platform does it: the caller offers an entry buffer of a
// given size; an entry that does not fit fails with InsufficientBuffer and names the size it needs, and the
// caller asks again with a buffer that large. A failed call does not move the enumeration on.
class UrlCache {
public:
    using FindHandle = std::uintptr_t; // 0 is no enumeration

    enum class FindStatus { Found, InsufficientBuffer, NoMoreItems, Failed };

    virtual ~UrlCache() = default;

    // Starts an enumeration of every entry (no search pattern). On Found, `handle` is the open enumeration and
    // `entry` the first entry; on InsufficientBuffer, `requiredBytes` is the size needed and nothing is open.
    virtual FindStatus FindFirst(std::size_t bufferBytes, FindHandle& handle, UrlCacheEntry& entry,
                                 std::size_t& requiredBytes) = 0;
    virtual FindStatus FindNext(FindHandle handle, std::size_t bufferBytes, UrlCacheEntry& entry,
                                std::size_t& requiredBytes) = 0;
    virtual void FindClose(FindHandle handle) = 0;
    // Deletes the entry stored for this source address; false when it could not be deleted.
    virtual bool DeleteEntry(const std::string& sourceUrl) = 0;
};

// There is no URL cache on Linux: every enumeration is empty at once and nothing can be deleted.
class LinuxUrlCache final : public UrlCache {
public:
    FindStatus FindFirst(std::size_t bufferBytes, FindHandle& handle, UrlCacheEntry& entry,
                         std::size_t& requiredBytes) override;
    FindStatus FindNext(FindHandle handle, std::size_t bufferBytes, UrlCacheEntry& entry,
                        std::size_t& requiredBytes) override;
    void FindClose(FindHandle handle) override;
    bool DeleteEntry(const std::string& sourceUrl) override;
};

} // namespace quorvel

#include "platform/url_cache.h"

namespace quorvel {

UrlCache::FindStatus LinuxUrlCache::FindFirst(std::size_t /*bufferBytes*/, FindHandle& handle, UrlCacheEntry& /*entry*/,
                                              std::size_t& /*requiredBytes*/) {
    handle = 0;
    return FindStatus::NoMoreItems;
}

UrlCache::FindStatus LinuxUrlCache::FindNext(FindHandle /*handle*/, std::size_t /*bufferBytes*/,
                                             UrlCacheEntry& /*entry*/, std::size_t& /*requiredBytes*/) {
    return FindStatus::NoMoreItems;
}

void LinuxUrlCache::FindClose(FindHandle /*handle*/) {}

bool LinuxUrlCache::DeleteEntry(const std::string& /*sourceUrl*/) {
    return false;
}

} // namespace quorvel

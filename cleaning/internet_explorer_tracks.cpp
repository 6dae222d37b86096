#include "cleaning/internet_explorer_tracks.h"

#include "platform/file_path.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "platform/track_files.h"
#include "platform/url_cache.h"
#include "platform/url_history.h"

namespace quorvel {

namespace {

using FindStatus = UrlCache::FindStatus;

// One step of an enumeration, asked again with a larger buffer for as long as the entry does not fit. A
// cache that claims a buffer no larger than the one offered is not asked forever: that ends the walk.
class CacheWalk {
public:
    explicit CacheWalk(UrlCache& cache) : m_cache(cache) {}

    FindStatus First() {
        return Ask([this](std::size_t& required) { return m_cache.FindFirst(m_buffer, m_handle, m_entry, required); });
    }
    FindStatus Next() {
        return Ask([this](std::size_t& required) { return m_cache.FindNext(m_handle, m_buffer, m_entry, required); });
    }
    void Close() { m_cache.FindClose(m_handle); }
    const UrlCacheEntry& Entry() const { return m_entry; }

private:
    template <typename Call> FindStatus Ask(Call call) {
        for (;;) {
            std::size_t required = 0;
            const FindStatus status = call(required);
            if (status != FindStatus::InsufficientBuffer || required <= m_buffer) {
                return status;
            }
            m_buffer = required;
        }
    }

    UrlCache& m_cache;
    std::size_t m_buffer = kFirstUrlCacheBuffer;
    UrlCache::FindHandle m_handle = 0;
    UrlCacheEntry m_entry;
};

} // namespace

void DeleteUrlCacheEntries(UrlCache& cache, bool cookies) {
    CacheWalk walk(cache);
    if (walk.First() != FindStatus::Found) {
        return;
    }
    do {
        const bool isCookie = (walk.Entry().type & kCookieCacheEntry) != 0;
        if (isCookie == cookies) {
            cache.DeleteEntry(walk.Entry().sourceUrl);
        }
    } while (walk.Next() == FindStatus::Found);
    walk.Close();
}

void EmptyCookiesFolder(const Paths& paths, TrackFiles& files) {
    const auto folder = paths.CookiesFolder();
    if (!folder || !IsAbsolutePath(*folder)) {
        return;
    }
    const auto entries = files.ListFolder(*folder, "");
    if (!entries) {
        return;
    }
    // The system keeps some of these files open for good; what stays is not worth a word.
    for (const auto& entry : *entries) {
        if (!entry.isFolder) {
            files.RemoveEntry(*folder, "", entry.name);
        }
    }
}

void DeleteUserKey(RegistryStore& registry, const char* keyPath) {
    registry.DeleteTree(RegistryHive::CurrentUser, keyPath);
}

bool ClearUrlHistory(UrlHistory& history) {
    auto object = history.Create();
    if (!object) {
        return false;
    }
    object->ClearHistory();
    return true;
}

} // namespace quorvel

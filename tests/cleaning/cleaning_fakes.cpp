#include "cleaning_fakes.h"

#include <algorithm>

namespace quorvel::test {

std::vector<std::string> FakeUrlCache::Urls() const {
    std::vector<std::string> urls;
    for (const auto& stored : m_entries) {
        urls.push_back(stored.url);
    }
    return urls;
}

UrlCache::FindStatus FakeUrlCache::Give(Walk& walk, std::size_t bufferBytes, UrlCacheEntry& entry,
                                        std::size_t& requiredBytes) {
    m_buffers.push_back(bufferBytes);
    if (walk.position >= walk.snapshot.size()) {
        return FindStatus::NoMoreItems;
    }
    if (m_failAt == walk.position) {
        return FindStatus::Failed;
    }
    const Stored& next = walk.snapshot[walk.position];
    if (next.bytes > bufferBytes) {
        requiredBytes = m_understate ? bufferBytes : next.bytes;
        return FindStatus::InsufficientBuffer;
    }
    entry = {next.url, next.type};
    ++walk.position;
    return FindStatus::Found;
}

UrlCache::FindStatus FakeUrlCache::FindFirst(std::size_t bufferBytes, FindHandle& handle, UrlCacheEntry& entry,
                                             std::size_t& requiredBytes) {
    handle = 0;
    Walk walk{m_entries, 0};
    const FindStatus status = Give(walk, bufferBytes, entry, requiredBytes);
    if (status == FindStatus::Found) {
        handle = m_nextHandle++;
        m_open.emplace(handle, std::move(walk));
    }
    return status;
}

UrlCache::FindStatus FakeUrlCache::FindNext(FindHandle handle, std::size_t bufferBytes, UrlCacheEntry& entry,
                                            std::size_t& requiredBytes) {
    const auto walk = m_open.find(handle);
    if (walk == m_open.end()) {
        return FindStatus::Failed;
    }
    return Give(walk->second, bufferBytes, entry, requiredBytes);
}

void FakeUrlCache::FindClose(FindHandle handle) {
    ++m_closes;
    m_open.erase(handle);
}

bool FakeUrlCache::DeleteEntry(const std::string& sourceUrl) {
    const auto found =
        std::find_if(m_entries.begin(), m_entries.end(), [&](const Stored& s) { return s.url == sourceUrl; });
    if (found == m_entries.end()) {
        return false;
    }
    if (m_log) {
        m_log->push_back("url cache: delete " + sourceUrl);
    }
    m_entries.erase(found);
    return true;
}

class FakeUrlHistory::Object : public UrlHistoryObject {
public:
    explicit Object(FakeUrlHistory& owner) : m_owner(owner) {}
    ~Object() override { ++m_owner.m_released; }
    bool ClearHistory() override {
        ++m_owner.m_cleared;
        if (m_owner.m_log) {
            m_owner.m_log->push_back("url history: clear");
        }
        return true;
    }

private:
    FakeUrlHistory& m_owner;
};

std::unique_ptr<UrlHistoryObject> FakeUrlHistory::Create() {
    if (!m_creatable) {
        return nullptr;
    }
    ++m_created;
    return std::make_unique<Object>(*this);
}

std::optional<std::vector<TrackFiles::Entry>> ScriptedTrackFiles::ListFolder(const std::string& base,
                                                                             const std::string& sub) const {
    return m_real.ListFolder(base, sub);
}

TrackFiles::Removal ScriptedTrackFiles::RemoveEntry(const std::string& base, const std::string& sub,
                                                    const std::string& name) {
    const Removal removal = m_refused.count(name) ? Removal::Kept : m_real.RemoveEntry(base, sub, name);
    if (m_log && removal == Removal::Removed) {
        m_log->push_back("file: " + JoinPath(JoinPath(base, sub), name));
    }
    return removal;
}

TrackFiles::Removal ScriptedTrackFiles::RemoveProfileFile(const std::string& profile, const std::string& name) {
    const Removal removal = m_refused.count(name) ? Removal::Kept : m_real.RemoveProfileFile(profile, name);
    if (m_log && removal == Removal::Removed) {
        m_log->push_back("file: " + JoinPath(profile, name));
    }
    return removal;
}

} // namespace quorvel::test

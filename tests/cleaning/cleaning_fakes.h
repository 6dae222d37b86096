#pragma once

#include "platform/paths.h"
#include "platform/track_files.h"
#include "platform/url_cache.h"
#include "platform/url_history.h"
#include "support/test_paths.h"

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quorvel::test {

// What the fakes below did, in order, shared between them so a test can check the order of the steps.
using ActionLog = std::vector<std::string>;

// An Internet Explorer URL cache in memory. Each entry needs a buffer of its own size; an enumeration works
// on the entries as they were when it started, as the real cache does.
class FakeUrlCache : public UrlCache {
public:
    struct Stored {
        std::string url;
        std::uint32_t type;
        std::size_t bytes = 200;
    };

    explicit FakeUrlCache(ActionLog* log = nullptr) : m_log(log) {}

    void Add(const std::string& url, std::uint32_t type, std::size_t bytes = 200) {
        m_entries.push_back({url, type, bytes});
    }
    std::vector<std::string> Urls() const;

    // Scripting: the enumeration fails (not for lack of buffer) when it reaches this position; or it claims a
    // buffer no larger than the one offered, as a broken cache might.
    void FailAt(std::size_t position) { m_failAt = position; }
    void UnderstateNeeds() { m_understate = true; }

    // Every buffer size offered, in order, and the enumerations still open.
    const std::vector<std::size_t>& BuffersOffered() const { return m_buffers; }
    std::size_t OpenEnumerations() const { return m_open.size(); }
    int Closes() const { return m_closes; }

    FindStatus FindFirst(std::size_t bufferBytes, FindHandle& handle, UrlCacheEntry& entry,
                         std::size_t& requiredBytes) override;
    FindStatus FindNext(FindHandle handle, std::size_t bufferBytes, UrlCacheEntry& entry,
                        std::size_t& requiredBytes) override;
    void FindClose(FindHandle handle) override;
    bool DeleteEntry(const std::string& sourceUrl) override;

private:
    struct Walk {
        std::vector<Stored> snapshot;
        std::size_t position = 0;
    };
    FindStatus Give(Walk& walk, std::size_t bufferBytes, UrlCacheEntry& entry, std::size_t& requiredBytes);

    ActionLog* m_log;
    std::vector<Stored> m_entries;
    std::optional<std::size_t> m_failAt;
    bool m_understate = false;
    std::vector<std::size_t> m_buffers;
    std::map<FindHandle, Walk> m_open;
    FindHandle m_nextHandle = 1;
    int m_closes = 0;
};

// Internet Explorer's history object, creatable or not, counting what was done to it.
class FakeUrlHistory : public UrlHistory {
public:
    explicit FakeUrlHistory(bool creatable, ActionLog* log = nullptr) : m_creatable(creatable), m_log(log) {}

    std::unique_ptr<UrlHistoryObject> Create() override;

    int Created() const { return m_created; }
    int Cleared() const { return m_cleared; }
    int Released() const { return m_released; }

private:
    class Object;
    bool m_creatable;
    ActionLog* m_log;
    int m_created = 0;
    int m_cleared = 0;
    int m_released = 0;
};

// The real Linux file operations, recording each removal and refusing to remove the names it is told to, the
// way a file the running browser holds on Windows refuses (tests also run as root, where permissions do not).
class ScriptedTrackFiles : public TrackFiles {
public:
    explicit ScriptedTrackFiles(ActionLog* log = nullptr) : m_log(log) {}

    void RefuseToRemove(const std::string& name) { m_refused.insert(name); }

    std::optional<std::vector<Entry>> ListFolder(const std::string& base, const std::string& sub) const override;
    Removal RemoveEntry(const std::string& base, const std::string& sub, const std::string& name) override;
    Removal RemoveProfileFile(const std::string& profile, const std::string& name) override;

private:
    TestTrackFiles m_real;
    ActionLog* m_log;
    std::set<std::string> m_refused;
};

// The Linux folders, with an Internet Explorer cookies folder that a test can name.
class PathsWithCookies : public Paths {
public:
    explicit PathsWithCookies(std::optional<std::string> cookies = std::nullopt) : m_cookies(std::move(cookies)) {}

    std::string AppDataFolder() const override { return m_real.AppDataFolder(); }
    std::string HomeFolder() const override { return m_real.HomeFolder(); }
    std::string CacheFolder() const override { return m_real.CacheFolder(); }
    std::optional<std::string> CookiesFolder() const override { return m_cookies; }
    std::string ProgramFolder() const override { return m_real.ProgramFolder(); }

private:
    TestPaths m_real;
    std::optional<std::string> m_cookies;
};

} // namespace quorvel::test

#pragma once

#include "platform/url_cache.h"
#include "platform/url_history.h"
#include "platform/url_opener.h"

namespace quorvel {

// Internet Explorer's URL cache through WinINet (FindFirstUrlCacheEntryW and the rest).
class WinInetUrlCache final : public UrlCache {
public:
    FindStatus FindFirst(std::size_t bufferBytes, FindHandle& handle, UrlCacheEntry& entry,
                         std::size_t& requiredBytes) override;
    FindStatus FindNext(FindHandle handle, std::size_t bufferBytes, UrlCacheEntry& entry,
                        std::size_t& requiredBytes) override;
    void FindClose(FindHandle handle) override;
    bool DeleteEntry(const std::string& sourceUrl) override;
};

// The URL history object (CLSID_CUrlHistory, IUrlHistoryStg2). Creating it initialises COM on the calling
// thread; the object undoes that when it goes.
class ComUrlHistory final : public UrlHistory {
public:
    std::unique_ptr<UrlHistoryObject> Create() override;
};

// ShellExecuteW with "open": the default browser for a web address.
class ShellUrlOpener final : public UrlOpener {
public:
    bool Open(const std::string& url) override;
};

} // namespace quorvel

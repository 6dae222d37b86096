#include "platform/win32/win32_url.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <objbase.h>
#include <shellapi.h>
#include <shlguid.h>
#include <urlhist.h>
#include <vector>
#include <wininet.h>

namespace quorvel {

namespace {

using FindStatus = UrlCache::FindStatus;

// One cache call's outcome: the entry when it fit, the size it needs when it did not.
FindStatus Outcome(bool ok, const std::vector<BYTE>& buffer, DWORD size, UrlCacheEntry& entry,
                   std::size_t& requiredBytes) {
    if (ok) {
        const auto* info = reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
        entry.sourceUrl = info->lpszSourceUrlName != nullptr ? win32::Narrow(info->lpszSourceUrlName) : std::string();
        entry.type = info->CacheEntryType;
        return FindStatus::Found;
    }
    switch (GetLastError()) {
    case ERROR_INSUFFICIENT_BUFFER:
        requiredBytes = size;
        return FindStatus::InsufficientBuffer;
    case ERROR_NO_MORE_ITEMS:
        return FindStatus::NoMoreItems;
    default:
        return FindStatus::Failed;
    }
}

// An entry buffer never smaller than the structure itself, aligned for it.
std::vector<BYTE> EntryBuffer(std::size_t bytes) {
    return std::vector<BYTE>(std::max(bytes, sizeof(INTERNET_CACHE_ENTRY_INFOW)));
}

class ComHistoryObject final : public UrlHistoryObject {
public:
    ComHistoryObject(IUrlHistoryStg2* history, bool uninitialize) : m_history(history), m_uninitialize(uninitialize) {}
    ~ComHistoryObject() override {
        m_history->Release();
        if (m_uninitialize) {
            CoUninitialize();
        }
    }
    ComHistoryObject(const ComHistoryObject&) = delete;
    ComHistoryObject& operator=(const ComHistoryObject&) = delete;

    bool ClearHistory() override { return SUCCEEDED(m_history->ClearHistory()); }

private:
    IUrlHistoryStg2* m_history;
    bool m_uninitialize;
};

} // namespace

FindStatus WinInetUrlCache::FindFirst(std::size_t bufferBytes, FindHandle& handle, UrlCacheEntry& entry,
                                      std::size_t& requiredBytes) {
    std::vector<BYTE> buffer = EntryBuffer(bufferBytes);
    DWORD size = static_cast<DWORD>(bufferBytes);
    HANDLE find = FindFirstUrlCacheEntryW(nullptr, reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data()), &size);
    handle = reinterpret_cast<FindHandle>(find);
    return Outcome(find != nullptr, buffer, size, entry, requiredBytes);
}

FindStatus WinInetUrlCache::FindNext(FindHandle handle, std::size_t bufferBytes, UrlCacheEntry& entry,
                                     std::size_t& requiredBytes) {
    std::vector<BYTE> buffer = EntryBuffer(bufferBytes);
    DWORD size = static_cast<DWORD>(bufferBytes);
    const bool ok = FindNextUrlCacheEntryW(reinterpret_cast<HANDLE>(handle),
                                           reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data()), &size);
    return Outcome(ok, buffer, size, entry, requiredBytes);
}

void WinInetUrlCache::FindClose(FindHandle handle) {
    if (handle != 0) {
        FindCloseUrlCache(reinterpret_cast<HANDLE>(handle));
    }
}

bool WinInetUrlCache::DeleteEntry(const std::string& sourceUrl) {
    return DeleteUrlCacheEntryW(win32::Widen(sourceUrl).c_str());
}

std::unique_ptr<UrlHistoryObject> ComUrlHistory::Create() {
    const HRESULT init = CoInitialize(nullptr);
    // S_FALSE (already initialised) must be undone too; RPC_E_CHANGED_MODE must not.
    const bool uninitialize = SUCCEEDED(init);
    IUrlHistoryStg2* history = nullptr;
    const HRESULT created = CoCreateInstance(CLSID_CUrlHistory, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                             IID_IUrlHistoryStg2, reinterpret_cast<void**>(&history));
    if (FAILED(created) || history == nullptr) {
        if (uninitialize) {
            CoUninitialize();
        }
        return nullptr;
    }
    return std::make_unique<ComHistoryObject>(history, uninitialize);
}

bool ShellUrlOpener::Open(const std::string& url) {
    // Above 32 is success; the address is a file to open, never a command line.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", win32::Widen(url).c_str(), L" ", L"c:\\", SW_SHOWNORMAL));
    return result > 32;
}

} // namespace quorvel

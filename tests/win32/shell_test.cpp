#include "app/locations.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_paths.h"
#include "platform/win32/win32_track_files.h"
#include "platform/win32/win32_url.h"
#include "support/test_environment.h"
#include "wine.h"

#include <windows.h>

#include <wininet.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace quorvel::test {
namespace {

TEST(Win32Paths, ShellFoldersAndTheProgramFolderAsTheCurrentDirectory) {
    Win32Paths paths;
    const std::string appData = paths.AppDataFolder();
    ASSERT_GE(appData.size(), 3u);
    EXPECT_EQ(appData.substr(1, 2), ":\\") << appData;
    ASSERT_TRUE(paths.CookiesFolder());
    EXPECT_EQ(TorrcPath(paths), appData + "\\tor\\torrc");

    TempFolder folder;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    const std::string program = paths.ProgramFolder();
    std::filesystem::current_path(before);
    EXPECT_TRUE(std::filesystem::equivalent(program, folder.Path())) << program;
    EXPECT_EQ(TorExecutablePath(paths), paths.ProgramFolder() + "\\Tor\\tor.exe");
}

TEST(Win32TrackFiles, HeldFileStaysFreeFileGoesFolderKept) {
    TempFolder profile;
    WriteFileBytes(profile / "cookies.txt", "held");
    WriteFileBytes(profile / "history.dat", "free");
    MakeFolders(profile / "Cache");
    Win32TrackFiles files;
    auto listed = files.ListFolder(profile.Path(), "");
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->size(), 3u);

    // The browser holds its files open without sharing.
    HANDLE held = CreateFileW(win32::Widen(profile / "cookies.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(files.RemoveProfileFile(profile.Path(), "cookies.txt"), TrackFiles::Removal::Kept);
    CloseHandle(held);
    EXPECT_EQ(files.RemoveProfileFile(profile.Path(), "cookies.txt"), TrackFiles::Removal::Removed);
    EXPECT_EQ(files.RemoveProfileFile(profile.Path(), "cookies.txt"), TrackFiles::Removal::Missing);
    EXPECT_EQ(files.RemoveEntry(profile.Path(), "", "history.dat"), TrackFiles::Removal::Removed);
    EXPECT_EQ(files.RemoveEntry(profile.Path(), "", "Cache"), TrackFiles::Removal::Kept);
    EXPECT_EQ(files.RemoveEntry(profile.Path(), "", "..\\x"), TrackFiles::Removal::Missing);
    EXPECT_FALSE(files.ListFolder(profile.Path(), "..\\"));
}

TEST(WinInetUrlCache, EntryMadeByTheSystemIsEnumeratedAndDeleted) {
    const std::wstring url = L"http://quorvel.test/" + std::to_wstring(GetCurrentProcessId());
    wchar_t file[MAX_PATH] = {};
    ASSERT_TRUE(CreateUrlCacheEntryW(url.c_str(), 4, L"txt", file, 0));
    WriteFileBytes(win32::Narrow(file), "page");
    FILETIME never{};
    ASSERT_TRUE(
        CommitUrlCacheEntryW(url.c_str(), file, never, never, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr));

    WinInetUrlCache cache;
    // The way the cleaner enumerates: a small buffer first, then the size the cache asks for.
    auto findAll = [&] {
        std::vector<std::string> urls;
        UrlCache::FindHandle handle = 0;
        UrlCacheEntry entry;
        std::size_t bytes = 16;
        std::size_t needed = 0;
        auto status = cache.FindFirst(bytes, handle, entry, needed);
        if (status == UrlCache::FindStatus::InsufficientBuffer) {
            bytes = needed;
            status = cache.FindFirst(bytes, handle, entry, needed);
        }
        while (status == UrlCache::FindStatus::Found || status == UrlCache::FindStatus::InsufficientBuffer) {
            if (status == UrlCache::FindStatus::Found) {
                urls.push_back(entry.sourceUrl);
            } else {
                bytes = needed;
            }
            status = cache.FindNext(handle, bytes, entry, needed);
        }
        cache.FindClose(handle);
        return urls;
    };
    const std::string wanted = win32::Narrow(url);
    auto urls = findAll();
    EXPECT_NE(std::find(urls.begin(), urls.end(), wanted), urls.end());
    EXPECT_TRUE(cache.DeleteEntry(wanted));
    urls = findAll();
    EXPECT_EQ(std::find(urls.begin(), urls.end(), wanted), urls.end());
}

TEST(ComUrlHistory, TheHistoryObjectIsCreatedAndCleared) {
    ComUrlHistory history;
    auto object = history.Create();
    ASSERT_TRUE(object);
    if (UnderWine()) {
        // Wine's IUrlHistoryStg2 methods return E_NOTIMPL: the failure must be reported, not taken as cleared.
        EXPECT_FALSE(object->ClearHistory());
    } else {
        EXPECT_TRUE(object->ClearHistory());
    }
}

} // namespace
} // namespace quorvel::test

namespace quorvel::test {
namespace {

TEST(ShellUrlOpener, WhatCannotBeOpenedIsReportedAsFailed) {
    // A web address would start a real browser here; a missing file takes the same ShellExecuteW road.
    ShellUrlOpener opener;
    TempFolder folder;
    EXPECT_FALSE(opener.Open(folder / "missing.html"));
}

} // namespace
} // namespace quorvel::test

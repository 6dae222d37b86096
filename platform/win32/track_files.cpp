#include "platform/win32/win32_track_files.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

namespace quorvel {

namespace {

using Removal = TrackFiles::Removal;

bool IsPlainName(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos;
}

// base\sub, checked part by part: every part a plain name and a real folder, not a reparse point.
std::optional<std::wstring> FolderPath(const std::string& base, const std::string& sub) {
    if (base.empty()) {
        return std::nullopt;
    }
    std::wstring path = win32::Widen(base);
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return std::nullopt;
    }
    const std::wstring rest = win32::Widen(sub);
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = rest.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) {
            end = rest.size();
        }
        const std::wstring part = rest.substr(start, end - start);
        start = end + 1;
        if (part.empty()) {
            continue;
        }
        if (!IsPlainName(part)) {
            return std::nullopt;
        }
        if (path.back() != L'\\' && path.back() != L'/') {
            path += L'\\';
        }
        path += part;
        attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return std::nullopt;
        }
    }
    if (path.back() != L'\\' && path.back() != L'/') {
        path += L'\\';
    }
    return path;
}

Removal Delete(const std::wstring& path) {
    if (DeleteFileW(path.c_str())) {
        return Removal::Removed;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Removal::Missing : Removal::Kept;
}

// Attributes of one entry, or nothing when it is not there; `kept` tells a failure apart from a missing name.
std::optional<DWORD> AttributesOf(const std::wstring& path, bool& kept) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        kept = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }
    return attributes;
}

} // namespace

std::optional<std::vector<TrackFiles::Entry>> Win32TrackFiles::ListFolder(const std::string& base,
                                                                          const std::string& sub) const {
    const auto folder = FolderPath(base, sub);
    if (!folder) {
        return std::nullopt;
    }
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((*folder + L"*").c_str(), &found);
    std::vector<Entry> entries;
    if (find == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) {
            return entries;
        }
        return std::nullopt;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        // A folder link counts as a file: it is removed as itself and never entered.
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                              (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
        entries.push_back({win32::Narrow(name), isFolder});
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return entries;
}

Removal Win32TrackFiles::RemoveEntry(const std::string& base, const std::string& sub, const std::string& name) {
    const auto folder = FolderPath(base, sub);
    const std::wstring wideName = win32::Widen(name);
    if (!folder || !IsPlainName(wideName)) {
        return Removal::Missing;
    }
    const std::wstring path = *folder + wideName;
    bool kept = false;
    const auto attributes = AttributesOf(path, kept);
    if (!attributes) {
        return kept ? Removal::Kept : Removal::Missing;
    }
    if ((*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        if ((*attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && RemoveDirectoryW(path.c_str())) {
            return Removal::Removed; // a folder link goes, what it names stays
        }
        return Removal::Kept;
    }
    return Delete(path);
}

Removal Win32TrackFiles::RemoveProfileFile(const std::string& profile, const std::string& name) {
    const auto folder = FolderPath(profile, "");
    const std::wstring wideName = win32::Widen(name);
    if (!folder || !IsPlainName(wideName)) {
        return Removal::Missing;
    }
    const std::wstring path = *folder + wideName;
    bool kept = false;
    const auto attributes = AttributesOf(path, kept);
    if (!attributes) {
        return kept ? Removal::Kept : Removal::Missing;
    }
    if ((*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Removal::Kept;
    }
    if ((*attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        // The writing test: a read-only file, or one the browser holds open, stays.
        HANDLE file =
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND ? Removal::Missing : Removal::Kept;
        }
        CloseHandle(file);
    }
    return Delete(path);
}

} // namespace quorvel

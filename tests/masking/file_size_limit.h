#pragma once

#ifdef _WIN32
#include "platform/file_path.h"

#include <windows.h>

#include <string>
#else
#include <csignal>
#include <sys/resource.h>
#endif

namespace quorvel::test {

#ifdef _WIN32
// Makes the file read-only for as long as the object lives, so that replacing it fails (access denied) as a
// full disk would, and gives write access back afterwards.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path) : m_path(FilePath(path).wstring()) {
        SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    ~ReadOnlyFile() { SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_NORMAL); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

private:
    std::wstring m_path;
};
#else
// Makes every write that would grow a file of this process beyond `bytes` fail (EFBIG), for as long as the
// object lives. Unlike folder permissions this also holds when the tests run as root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};
#endif

} // namespace quorvel::test

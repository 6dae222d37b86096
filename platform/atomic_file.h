#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// Replaces a file as a whole. The new bytes go to a temporary file in the target's folder; Commit() flushes it
// to disk and renames it over the target, so a crash or a full disk leaves either the old or the new content,
// never a truncated file. A symbolic link is followed: the file it names is replaced, the link stays.
// An existing file keeps its permissions (and, when run as root, its owner). A target that exists but is not
// writable counts as read-only: nothing is created and the target is left alone.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& target);
    // Removes the temporary file unless Commit() succeeded.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // The temporary file exists and the target may be replaced.
#ifdef _WIN32
    bool IsOpen() const { return m_file != nullptr; }
#else
    bool IsOpen() const { return m_fd >= 0; }
#endif
    // False once any write has failed; Commit() then fails too.
    bool Write(std::string_view bytes);
    // True when the new content is in place. Afterwards the object is closed either way.
    bool Commit();
    // Drops the new content; the target is untouched.
    void Abandon();

private:
    std::string m_target;
    std::string m_temp;
#ifdef _WIN32
    void* m_file = nullptr; // the temporary file's HANDLE
#else
    int m_fd = -1;
#endif
    bool m_failed = false;
    bool m_existed = false;
    unsigned m_mode = 0;
    unsigned m_uid = 0;
    unsigned m_gid = 0;
};

} // namespace quorvel

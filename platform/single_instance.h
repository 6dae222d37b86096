#pragma once

#include <string>

namespace quorvel {

// The single-instance mutex. On Linux an advisory lock (flock) on a file named after the mutex in
// $XDG_RUNTIME_DIR (else the temporary folder); on Windows the named mutex itself (CreateMutexW). The lock lives
// as long as this object, or until the process ends, whichever is first.
class SingleInstanceLock {
public:
    enum class Result { Acquired, AlreadyHeld, Failed };

    explicit SingleInstanceLock(const std::string& name);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    Result State() const { return m_result; }
    // The lock file on Linux, the mutex name on Windows.
    const std::string& LockFile() const { return m_path; }

private:
#ifdef _WIN32
    void* m_mutex = nullptr; // the mutex HANDLE
#else
    int m_fd = -1;
#endif
    Result m_result = Result::Failed;
    std::string m_path;
};

} // namespace quorvel

#pragma once

#include <string>

namespace quorvel {

// The single-instance mutex: an advisory lock (flock) on a file named after the mutex in $XDG_RUNTIME_DIR (else
// the temporary folder). The lock lives as long as this object, or until the process ends, whichever is first.
class SingleInstanceLock {
public:
    enum class Result { Acquired, AlreadyHeld, Failed };

    explicit SingleInstanceLock(const std::string& name);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    Result State() const { return m_result; }
    const std::string& LockFile() const { return m_path; }

private:
    int m_fd = -1;
    Result m_result = Result::Failed;
    std::string m_path;
};

} // namespace quorvel

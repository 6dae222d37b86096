#pragma once

#include <string>
#include <sys/types.h>

namespace quorvel::test {

// A child process that holds a lock on a file until the object goes, the way a running Firefox holds its
// profile's ".parentlock".
class LockHolder {
public:
    enum class Kind { Record, Flock };

    LockHolder(const std::string& file, Kind kind);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    // True once the child has taken the lock.
    bool Holding() const { return m_holding; }

private:
    pid_t m_child = -1;
    int m_release = -1; // closing it lets the child end
    bool m_holding = false;
};

// The pid of a process that has already ended.
pid_t EndedProcessId();

// Makes `link` a symbolic link to `target`, the way Firefox writes its "lock" link.
void MakeLink(const std::string& target, const std::string& link);

} // namespace quorvel::test

#include "lock_holder.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel::test {

LockHolder::LockHolder(const std::string& file, Kind kind) {
    int ready[2];
    int release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) {
        throw std::runtime_error("pipe");
    }
    m_child = fork();
    if (m_child == 0) {
        // Only async-signal-safe calls in the child.
        close(ready[0]);
        close(release[1]);
        const int fd = open(file.c_str(), O_RDWR | O_CREAT, 0644);
        bool locked = false;
        if (fd >= 0 && kind == Kind::Record) {
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            locked = fcntl(fd, F_SETLK, &lock) == 0;
        } else if (fd >= 0) {
            locked = flock(fd, LOCK_EX | LOCK_NB) == 0;
        }
        const char answer = locked ? '1' : '0';
        (void)!write(ready[1], &answer, 1);
        char none;
        (void)!read(release[0], &none, 1);
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    m_release = release[1];
    char answer = '0';
    m_holding = m_child > 0 && read(ready[0], &answer, 1) == 1 && answer == '1';
    close(ready[0]);
}

LockHolder::~LockHolder() {
    close(m_release);
    if (m_child > 0) {
        waitpid(m_child, nullptr, 0);
    }
}

pid_t EndedProcessId() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

void MakeLink(const std::string& target, const std::string& link) {
    if (symlink(target.c_str(), link.c_str()) != 0) {
        throw std::runtime_error("symlink " + link);
    }
}

} // namespace quorvel::test

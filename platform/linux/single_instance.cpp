#include "platform/single_instance.h"

#include "platform/paths.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string LockFolder() {
    // Per-user and cleared at logout; a relative or missing value is not usable (the XDG rule).
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && IsFolder(runtime)) {
        return runtime;
    }
    std::error_code ec;
    std::string temp = std::filesystem::temp_directory_path(ec).string();
    return ec || temp.empty() ? std::string("/tmp") : temp;
}

// A mutex name may hold characters a file name cannot.
std::string FileNameFor(const std::string& name) {
    std::string file = name;
    for (char& c : file) {
        if (c == '/' || c == '\0') {
            c = '_';
        }
    }
    return file + ".lock";
}

} // namespace

SingleInstanceLock::SingleInstanceLock(const std::string& name) : m_path(JoinPath(LockFolder(), FileNameFor(name))) {
    // O_NOFOLLOW: in a shared temporary folder another user could have put a link there.
    m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        m_result = Result::Failed;
        return;
    }
    int locked = -1;
    do {
        locked = ::flock(m_fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) {
        m_result = Result::Acquired;
        return;
    }
    m_result = errno == EWOULDBLOCK ? Result::AlreadyHeld : Result::Failed;
    ::close(m_fd);
    m_fd = -1;
}

SingleInstanceLock::~SingleInstanceLock() {
    // The file stays: removing it would let a third instance lock a new file while a second still holds the old.
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

} // namespace quorvel

#include "platform/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

// The process's umask without changing it (umask() itself is not thread-safe to query).
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
        }
    }
    return 022;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

AtomicFile::AtomicFile(const std::string& target) : m_target(target) {
    if (target.empty() || target.find('\0') != std::string::npos) {
        return;
    }
    struct stat st {};
    if (lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // Replace what the link names, not the link itself.
        if (char* real = realpath(target.c_str(), nullptr); real != nullptr) {
            m_target = real;
            std::free(real);
        }
    }
    if (stat(m_target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || access(m_target.c_str(), W_OK) != 0) {
            return;
        }
        m_existed = true;
        m_mode = st.st_mode & 07777;
        m_uid = st.st_uid;
        m_gid = st.st_gid;
    } else if (errno != ENOENT) {
        return;
    }
    std::string pattern = FolderOf(m_target) + "/." + NameOf(m_target) + ".XXXXXX";
    m_fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd >= 0) {
        m_temp = pattern;
    }
}

AtomicFile::~AtomicFile() {
    Abandon();
}

bool AtomicFile::Write(std::string_view bytes) {
    if (m_fd < 0 || m_failed) {
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            m_failed = true;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool AtomicFile::Commit() {
    if (m_fd < 0) {
        return false;
    }
    bool ok = !m_failed;
    if (ok && m_existed) {
        if (geteuid() == 0 && (m_uid != 0 || m_gid != 0)) {
            // Best effort: a file of another user stays theirs when root rewrites it.
            [[maybe_unused]] const int ignored = fchown(m_fd, m_uid, m_gid);
        }
        ok = fchmod(m_fd, static_cast<mode_t>(m_mode)) == 0;
    } else if (ok) {
        ok = fchmod(m_fd, 0666 & ~CurrentUmask()) == 0;
    }
    ok = ok && fsync(m_fd) == 0;
    ok = (::close(m_fd) == 0) && ok;
    m_fd = -1;
    if (ok && ::rename(m_temp.c_str(), m_target.c_str()) == 0) {
        m_temp.clear();
        // Make the rename itself durable; the new content is in place whatever this gives.
        const int dir = ::open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            fsync(dir);
            ::close(dir);
        }
        return true;
    }
    Abandon();
    return false;
}

void AtomicFile::Abandon() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

} // namespace quorvel

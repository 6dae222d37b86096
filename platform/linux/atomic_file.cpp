#include "platform/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
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

// What mkostemp makes of our pattern for `name`: "." + name + "." + six letters or digits.
bool IsTempNameFor(std::string_view entry, const std::string& name) {
    constexpr std::size_t kRandom = 6;
    if (entry.size() != name.size() + 2 + kRandom || entry[0] != '.' || entry.substr(1, name.size()) != name ||
        entry[name.size() + 1] != '.') {
        return false;
    }
    for (char c : entry.substr(name.size() + 2)) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return true;
}

bool NameStillRefersTo(int fd, const std::string& path) {
    struct stat held {};
    struct stat named {};
    return fstat(fd, &held) == 0 && lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// A rewrite holds an exclusive flock on its temporary file from the moment the file has a name until it is
// renamed or removed, and the system drops that lock when the process dies. So a temporary file of ours that
// nobody holds is what a rewrite killed half way left behind, and a held one belongs to a rewrite still going on
// (in this process or another). The name is removed only while we hold the lock on the very file it names.
void RemoveLeftoverTemps(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        if (!IsTempNameFor(entry->d_name, name)) {
            continue;
        }
        const std::string path = folder + "/" + entry->d_name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat st {};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            NameStillRefersTo(fd, path)) {
            ::unlink(path.c_str());
        }
        ::close(fd);
    }
    closedir(dir);
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
        // access() lets root write anything; a file its owner may not write stays read-only for root too.
        if (!S_ISREG(st.st_mode) || access(m_target.c_str(), W_OK) != 0 || (st.st_mode & S_IWUSR) == 0) {
            return;
        }
        m_existed = true;
        m_mode = st.st_mode & 07777;
        m_uid = st.st_uid;
        m_gid = st.st_gid;
    } else if (errno != ENOENT) {
        return;
    }
    const std::string folder = FolderOf(m_target);
    const std::string name = NameOf(m_target);
    RemoveLeftoverTemps(folder, name);
    // Between mkostemp and flock another process may take the new file for a leftover; then the name is gone
    // (or about to go) and a fresh one is made.
    for (int attempt = 0; attempt < 8 && m_fd < 0; ++attempt) {
        std::string pattern = folder + "/." + name + ".XXXXXX";
        const int fd = mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0) {
            return;
        }
        // Where the file system has no flock at all, the file is used unlocked; no cleaner can lock it there
        // either, so none removes it.
        const bool takenByCleaner = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        if (!takenByCleaner && NameStillRefersTo(fd, pattern)) {
            m_fd = fd;
            m_temp = pattern;
        } else {
            ::close(fd);
        }
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
    // Renamed while the lock is still held, so no other rewrite can take the file for a leftover meanwhile.
    // The content is on disk already: what close() says after the rename changes nothing.
    if (ok && ::rename(m_temp.c_str(), m_target.c_str()) == 0) {
        ::close(m_fd);
        m_fd = -1;
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
    // The name goes first, while the lock still says it is ours.
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

} // namespace quorvel

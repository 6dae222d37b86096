#include "platform/profile_lock.h"

#include "platform/unique_descriptor.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

namespace quorvel {

namespace {

bool ProcessRuns(pid_t pid) {
    return kill(pid, 0) == 0 || errno == EPERM;
}

bool LockLinkHeld(int folder) {
    char target[PATH_MAX];
    const ssize_t length = readlinkat(folder, "lock", target, sizeof target - 1);
    if (length <= 0) {
        return false;
    }
    const auto pid = ProfileLockLinkPid(std::string(target, static_cast<std::size_t>(length)));
    return pid && ProcessRuns(*pid);
}

bool ParentLockHeld(int folder) {
    // Read-only is enough to ask about locks; a link here is not the browser's and is not followed.
    UniqueDescriptor file(openat(folder, ".parentlock", O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0) {
        return false;
    }
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;
    if (fcntl(file.Get(), F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) {
        return true;
    }
    // A shared flock is refused only while someone holds it exclusively; it is given back at once.
    if (flock(file.Get(), LOCK_SH | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK;
    }
    flock(file.Get(), LOCK_UN);
    return false;
}

} // namespace

std::optional<pid_t> ProfileLockLinkPid(const std::string& target) {
    const auto marker = target.rfind(":+");
    if (marker == std::string::npos || marker == 0) {
        return std::nullopt;
    }
    const std::string digits = target.substr(marker + 2);
    if (digits.empty() || digits.size() > 9) {
        return std::nullopt;
    }
    long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value <= 0) {
        return std::nullopt;
    }
    return static_cast<pid_t>(value);
}

bool IsMozillaProfileLocked(const std::string& profileFolder) {
    UniqueDescriptor folder(open(profileFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() < 0) {
        return false;
    }
    return LockLinkHeld(folder.Get()) || ParentLockHeld(folder.Get());
}

} // namespace quorvel

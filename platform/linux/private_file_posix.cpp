#include "platform/private_file.h"

#include "platform/unique_descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

std::optional<std::string> ReadPrivateFile(const std::string& path, std::size_t maxSize) {
    // Non-blocking, so that a pipe put in the file's place cannot hold the reader; the checks are made on the
    // opened file itself, so it cannot be swapped between the check and the read.
    UniqueDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() ||
        (info.st_mode & (S_IRWXG | S_IRWXO)) != 0 || static_cast<std::size_t>(info.st_size) > maxSize) {
        return std::nullopt;
    }
    std::string bytes(maxSize + 1, '\0');
    std::size_t size = 0;
    while (size < bytes.size()) {
        ssize_t n = ::read(fd.Get(), bytes.data() + size, bytes.size() - size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        size += static_cast<std::size_t>(n);
    }
    if (size > maxSize) {
        return std::nullopt;
    }
    bytes.resize(size);
    return bytes;
}

} // namespace quorvel

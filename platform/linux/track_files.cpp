#include "platform/track_files.h"

#include "platform/profile_lock.h"
#include "platform/unique_descriptor.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

using Removal = TrackFiles::Removal;

// One name inside a folder: never a path, never "." or "..".
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// Opens base/sub, following links in `base` (a folder the user or the system chose) but none below it.
UniqueDescriptor OpenFolder(const std::string& base, const std::string& sub) {
    if (base.empty()) {
        return UniqueDescriptor();
    }
    UniqueDescriptor folder(open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::size_t start = 0;
    while (folder.Valid() && start < sub.size()) {
        std::size_t end = sub.find('/', start);
        if (end == std::string::npos) {
            end = sub.size();
        }
        const std::string part = sub.substr(start, end - start);
        start = end + 1;
        if (part.empty()) {
            continue;
        }
        if (!IsPlainName(part)) {
            return UniqueDescriptor();
        }
        folder = UniqueDescriptor(openat(folder.Get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    return folder;
}

Removal Unlink(int folder, const std::string& name) {
    if (unlinkat(folder, name.c_str(), 0) == 0) {
        return Removal::Removed;
    }
    return errno == ENOENT ? Removal::Missing : Removal::Kept;
}

} // namespace

std::optional<std::vector<TrackFiles::Entry>> LinuxTrackFiles::ListFolder(const std::string& base,
                                                                          const std::string& sub) const {
    UniqueDescriptor folder = OpenFolder(base, sub);
    if (!folder.Valid()) {
        return std::nullopt;
    }
    const int listing = fcntl(folder.Get(), F_DUPFD_CLOEXEC, 0);
    DIR* dir = listing >= 0 ? fdopendir(listing) : nullptr;
    if (dir == nullptr) {
        if (listing >= 0) {
            close(listing);
        }
        return std::nullopt;
    }
    std::vector<Entry> entries;
    while (const dirent* item = readdir(dir)) {
        const std::string name = item->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        bool isFolder = item->d_type == DT_DIR;
        if (item->d_type == DT_UNKNOWN) {
            struct stat info {};
            isFolder = fstatat(folder.Get(), item->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
        }
        entries.push_back({name, isFolder});
    }
    closedir(dir);
    return entries;
}

Removal LinuxTrackFiles::RemoveEntry(const std::string& base, const std::string& sub, const std::string& name) {
    UniqueDescriptor folder = OpenFolder(base, sub);
    if (!folder.Valid() || !IsPlainName(name)) {
        return Removal::Missing;
    }
    struct stat info {};
    if (fstatat(folder.Get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? Removal::Missing : Removal::Kept;
    }
    if (S_ISDIR(info.st_mode)) {
        return Removal::Kept;
    }
    return Unlink(folder.Get(), name);
}

Removal LinuxTrackFiles::RemoveProfileFile(const std::string& profile, const std::string& name) {
    UniqueDescriptor folder = OpenFolder(profile, "");
    if (!folder.Valid() || !IsPlainName(name)) {
        return Removal::Missing;
    }
    struct stat info {};
    if (fstatat(folder.Get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? Removal::Missing : Removal::Kept;
    }
    if (IsMozillaProfileLocked(profile)) {
        return Removal::Kept;
    }
    if (S_ISLNK(info.st_mode)) {
        return Unlink(folder.Get(), name);
    }
    if (!S_ISREG(info.st_mode)) {
        return Removal::Kept;
    }
    // The writing test of a browser file: a read-only file, or one the browser holds, stays.
    UniqueDescriptor file(
        openat(folder.Get(), name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.Valid()) {
        return errno == ENOENT ? Removal::Missing : Removal::Kept;
    }
    file.Reset();
    return Unlink(folder.Get(), name);
}

} // namespace quorvel

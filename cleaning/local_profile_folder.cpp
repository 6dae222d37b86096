#include "cleaning/local_profile_folder.h"

#include "platform/file_path.h"
#include "platform/paths.h"

#include <filesystem>

namespace quorvel {

namespace {

namespace fs = std::filesystem;

// The absolute path without ".", ".." or a trailing separator; nothing for a relative path. A network path
// loses one of its two leading separators here, since normalising would fold them into one anyway.
std::optional<fs::path> Normal(const std::string& path) {
    if (!IsAbsolutePath(path)) {
        return std::nullopt;
    }
    fs::path normal = FilePath(IsNetworkPath(path) ? path.substr(1) : path).lexically_normal();
    if (!normal.has_filename() && normal != normal.root_path()) {
        normal = normal.parent_path();
    }
    return normal;
}

} // namespace

std::optional<std::string> LocalProfileFolder(const Paths& paths, const std::string& profile) {
    const auto home = Normal(paths.HomeFolder());
    const auto cache = Normal(paths.CacheFolder());
    const auto folder = Normal(profile);
    if (!home || !cache || !folder) {
        return std::nullopt;
    }
    const fs::path below = folder->lexically_relative(*home);
    if (below.empty() || below == "." || *below.begin() == "..") {
        return std::nullopt;
    }
    std::string relative = PathText(below);
    if (relative.front() == '.') {
        relative.erase(0, 1);
    }
    if (relative.empty()) {
        return std::nullopt;
    }
    const std::string cacheText = IsNetworkPath(paths.CacheFolder()) ? '\\' + PathText(*cache) : PathText(*cache);
    return JoinPath(cacheText, relative);
}

} // namespace quorvel

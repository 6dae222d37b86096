#include "cleaning/local_profile_folder.h"

#include "platform/paths.h"

#include <filesystem>

namespace quorvel {

namespace {

namespace fs = std::filesystem;

// The absolute path without ".", ".." or a trailing separator; nothing for a relative path.
std::optional<fs::path> Normal(const std::string& path) {
    if (path.empty() || path.front() != '/') {
        return std::nullopt;
    }
    fs::path normal = fs::path(path).lexically_normal();
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
    std::string relative = below.string();
    if (relative.front() == '.') {
        relative.erase(0, 1);
    }
    if (relative.empty()) {
        return std::nullopt;
    }
    return JoinPath(cache->string(), relative);
}

} // namespace quorvel

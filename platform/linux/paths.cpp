#include "platform/paths.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace quorvel {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

} // namespace

std::string LinuxPaths::HomeFolder() const {
    std::string home = Env("HOME");
    if (!home.empty()) {
        return home;
    }
    // Only when $HOME is unset: the account's home from the password database.
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        return pw->pw_dir;
    }
    return {};
}

std::string LinuxPaths::AppDataFolder() const {
    // The XDG rule: a relative value is invalid and ignored.
    std::string config = Env("XDG_CONFIG_HOME");
    if (!config.empty() && config.front() == '/') {
        return config;
    }
    return JoinPath(HomeFolder(), ".config");
}

std::string LinuxPaths::CacheFolder() const {
    std::string cache = Env("XDG_CACHE_HOME");
    if (!cache.empty() && cache.front() == '/') {
        return cache;
    }
    return JoinPath(HomeFolder(), ".cache");
}

std::optional<std::string> LinuxPaths::CookiesFolder() const {
    return std::nullopt;
}

std::string LinuxPaths::ProgramFolder() const {
    std::error_code ec;
    auto cwd = std::filesystem::current_path(ec);
    return ec ? std::string(".") : cwd.string();
}

} // namespace quorvel

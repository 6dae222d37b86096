#include "support/test_paths.h"

#ifdef _WIN32

#include <cstdlib>
#include <filesystem>

namespace quorvel::test {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::string TestPaths::AppDataFolder() const {
    return Env("XDG_CONFIG_HOME");
}

std::string TestPaths::HomeFolder() const {
    return Env("HOME");
}

std::string TestPaths::CacheFolder() const {
    return Env("XDG_CACHE_HOME");
}

std::string TestPaths::ProgramFolder() const {
    return std::filesystem::current_path().string();
}

} // namespace quorvel::test

#endif

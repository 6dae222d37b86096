#pragma once

#include "platform/paths.h"

namespace quorvel::test {

#ifdef _WIN32
// The folders a TestEnvironment sets up ($HOME, $XDG_CONFIG_HOME, $XDG_CACHE_HOME and the current directory),
// for the core's tests on Windows, whose own paths come from the shell and cannot be pointed elsewhere.
class TestPaths final : public Paths {
public:
    std::string AppDataFolder() const override;
    std::string HomeFolder() const override;
    std::string CacheFolder() const override;
    std::optional<std::string> CookiesFolder() const override { return std::nullopt; }
    std::string ProgramFolder() const override;
};
#else
using TestPaths = LinuxPaths;
#endif

} // namespace quorvel::test

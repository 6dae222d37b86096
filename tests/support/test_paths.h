#pragma once

#include "platform/paths.h"
#include "platform/track_files.h"
#ifdef _WIN32
#include "platform/win32/win32_track_files.h"
#endif

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
// The real file operations of the platform the tests run on.
using TestTrackFiles = Win32TrackFiles;
#else
using TestPaths = LinuxPaths;
using TestTrackFiles = LinuxTrackFiles;
#endif

} // namespace quorvel::test

#pragma once

#include <optional>
#include <string>

namespace quorvel {

// Where the per-user and per-installation folders are. Read anew on every call, so a change of the
// environment (tests point $HOME and $XDG_CONFIG_HOME at temporary folders) takes effect at once.
class Paths {
public:
    virtual ~Paths() = default;

    // The per-user application-data folder: $XDG_CONFIG_HOME, else $HOME/.config. Not created.
    virtual std::string AppDataFolder() const = 0;
    // The user's home folder ($HOME).
    virtual std::string HomeFolder() const = 0;
    // The per-user cache folder: $XDG_CACHE_HOME, else $HOME/.cache.
    virtual std::string CacheFolder() const = 0;
    // Internet Explorer's cookies folder; there is none on Linux, so nothing can ever be deleted there.
    virtual std::optional<std::string> CookiesFolder() const = 0;
    // The program folder: the current working directory.
    virtual std::string ProgramFolder() const = 0;
};

class LinuxPaths final : public Paths {
public:
    std::string AppDataFolder() const override;
    std::string HomeFolder() const override;
    std::string CacheFolder() const override;
    std::optional<std::string> CookiesFolder() const override;
    std::string ProgramFolder() const override;
};

// Joins two path pieces with exactly one separator between them ('/' on Linux, '\\' on Windows, where '/'
// counts as one too).
std::string JoinPath(const std::string& folder, const std::string& name);

} // namespace quorvel

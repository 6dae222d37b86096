#include "app/locations.h"

#include "platform/paths.h"

namespace quorvel {

std::string SettingsFolder(const Paths& paths) { return JoinPath(paths.AppDataFolder(), "Quorvel"); }

std::string SettingsFilePath(const Paths& paths) { return JoinPath(SettingsFolder(paths), "settings.ini"); }

std::string RegistryFolder(const Paths& paths) { return JoinPath(SettingsFolder(paths), "registry"); }

std::string TorrcPath(const Paths& paths) { return JoinPath(JoinPath(paths.AppDataFolder(), "tor"), "torrc"); }

#ifdef _WIN32
std::string TorExecutablePath(const Paths& paths) { return JoinPath(JoinPath(paths.ProgramFolder(), "Tor"), "tor.exe"); }
#else
std::string TorExecutablePath(const Paths& paths) { return JoinPath(JoinPath(paths.ProgramFolder(), "Tor"), "tor"); }
#endif

std::string LanguageFolder(const Paths& paths) { return JoinPath(paths.ProgramFolder(), "lang"); }

} // namespace quorvel

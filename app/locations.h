#pragma once

#include <string>

namespace quorvel {

class Paths;

// The file-system locations the other subsystems use, formed from the platform's folders.
std::string SettingsFolder(const Paths& paths);     // application data + "/Quorvel"
std::string SettingsFilePath(const Paths& paths);   // application data + "/Quorvel/settings.ini"
std::string RegistryFolder(const Paths& paths);     // application data + "/Quorvel/registry"
std::string TorrcPath(const Paths& paths);          // application data + "/tor/torrc"
std::string TorExecutablePath(const Paths& paths);  // program folder + "/Tor/tor" (Windows: "\\Tor\\tor.exe")
std::string LanguageFolder(const Paths& paths);     // program folder + "/lang"

} // namespace quorvel

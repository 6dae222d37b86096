#pragma once

#include "platform/registry_store.h"

#include <string>

namespace quorvel {

// Where Internet Explorer reads the pieces of its user-agent (machine-wide) and its accepted languages (per user).
namespace ie_identity {
inline constexpr RegistryHive kUserAgentHive = RegistryHive::LocalMachine;
inline constexpr const char* kUserAgentKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent";
inline constexpr const char* kPostPlatform = "Post Platform";
inline constexpr const char* kCopyPostPlatform = "Copy Post Platform";
inline constexpr const char* kCompatiblePath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent\\Compatible";
inline constexpr const char* kVersionPath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent\\Version";
inline constexpr const char* kPlatformPath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent\\Platform";

inline constexpr RegistryHive kLanguageHive = RegistryHive::CurrentUser;
inline constexpr const char* kLanguagePath = "Software\\Microsoft\\Internet Explorer\\International\\AcceptLanguage";
} // namespace ie_identity

// Copies every value of the source key and, recursively, every subkey into the subkey `name` of the destination
// key, which is created when missing. True on success; false when the source key does not exist or the copy
// could not be stored.
bool CopyRegistryTree(RegistryStore& registry, RegistryHive hive, const std::string& sourceKey,
                      const std::string& destinationKey, const std::string& name);

// A text value addressed by one full path whose last part is the value name. Missing (or not text): nothing.
std::optional<std::string> ReadRegistryText(const RegistryStore& registry, RegistryHive hive,
                                            const std::string& valuePath);
// Creates the key when needed and stores the text. Unless `force`, a value that already holds the text is left
// alone. True when the value holds the text afterwards.
bool WriteRegistryText(RegistryStore& registry, RegistryHive hive, const std::string& valuePath,
                       const std::string& text, bool force);
bool DeleteRegistryValue(RegistryStore& registry, RegistryHive hive, const std::string& valuePath);

// Internet Explorer's own user-agent again: its extra tokens put back from the copy taken at the first start,
// the three replaced values removed. False when the tokens could not be put back (the rest is still done).
bool RestoreIeUserAgent(RegistryStore& registry);

} // namespace quorvel

#include "masking/ie_identity.h"

namespace quorvel {

namespace {

std::string SubkeyPath(const std::string& key, const std::string& name) {
    return key + "\\" + name;
}

// Splits "Key\\Path\\Value" into the key path and the value name.
std::pair<std::string, std::string> SplitValuePath(const std::string& valuePath) {
    const std::size_t slash = valuePath.rfind('\\');
    if (slash == std::string::npos) {
        return {std::string(), valuePath};
    }
    return {valuePath.substr(0, slash), valuePath.substr(slash + 1)};
}

} // namespace

bool CopyRegistryTree(RegistryStore& registry, RegistryHive hive, const std::string& sourceKey,
                      const std::string& destinationKey, const std::string& name) {
    if (!registry.KeyExists(hive, sourceKey)) {
        return false;
    }
    return registry.CopyTree(hive, sourceKey, hive, SubkeyPath(destinationKey, name));
}

std::optional<std::string> ReadRegistryText(const RegistryStore& registry, RegistryHive hive,
                                            const std::string& valuePath) {
    const auto [key, name] = SplitValuePath(valuePath);
    const std::optional<RegistryValue> value = registry.GetValue(hive, key, name);
    if (!value || value->Type() != RegistryType::String) {
        return std::nullopt;
    }
    return std::get<std::string>(value->data);
}

bool WriteRegistryText(RegistryStore& registry, RegistryHive hive, const std::string& valuePath,
                       const std::string& text, bool force) {
    if (!force && ReadRegistryText(registry, hive, valuePath) == text) {
        return true;
    }
    const auto [key, name] = SplitValuePath(valuePath);
    return registry.CreateKey(hive, key) && registry.SetValue(hive, key, name, RegistryValue::String(text));
}

bool DeleteRegistryValue(RegistryStore& registry, RegistryHive hive, const std::string& valuePath) {
    const auto [key, name] = SplitValuePath(valuePath);
    return registry.DeleteValue(hive, key, name);
}

bool RestoreIeUserAgent(RegistryStore& registry) {
    using namespace ie_identity;
    const std::string postPlatform = SubkeyPath(kUserAgentKey, kPostPlatform);
    const std::string copy = SubkeyPath(kUserAgentKey, kCopyPostPlatform);
    registry.DeleteTree(kUserAgentHive, postPlatform);
    // No copy means Internet Explorer had no extra tokens when it was backed up: nothing to put back.
    const bool restored = !registry.KeyExists(kUserAgentHive, copy) ||
                          CopyRegistryTree(registry, kUserAgentHive, copy, kUserAgentKey, kPostPlatform);
    DeleteRegistryValue(registry, kUserAgentHive, kCompatiblePath);
    DeleteRegistryValue(registry, kUserAgentHive, kVersionPath);
    DeleteRegistryValue(registry, kUserAgentHive, kPlatformPath);
    return restored;
}

} // namespace quorvel

#pragma once

#include "redirect/program_kind.h"

namespace quorvel {

class RegistryStore;
class SettingsStore;

// The proxy values of the four instant messengers in the current user's registry: saved into the messenger's
// backup section, pointed at the SOCKS proxy on 127.0.0.1, and written back from the backup. Values that did not
// exist before come back with the saved defaults (0, false, the empty text) rather than being removed.
class MessengerProxy {
public:
    MessengerProxy(RegistryStore& registry, const SettingsStore& settings)
        : m_registry(registry), m_settings(settings) {}

    // False when a backup value could not be stored (or `kind` is no messenger); a missing registry value is
    // saved as its default.
    bool BackupMessengerProxy(ProgramKind kind);
    void ApplyMessengerProxy(ProgramKind kind, int port);
    // False when a value could not be written back (the others still are), or `kind` is no messenger.
    bool RestoreMessengerProxy(ProgramKind kind);

    static bool IsMessenger(ProgramKind kind);

private:
    RegistryStore& m_registry;
    const SettingsStore& m_settings;
};

} // namespace quorvel

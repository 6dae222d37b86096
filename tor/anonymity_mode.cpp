#include "tor/anonymity_mode.h"

#include "app/language_file.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "tor/tor_controller.h"
#include "tor/torrc_file.h"

namespace quorvel {

namespace {

constexpr std::string_view kTunnelName = "TunnelDirConns";
constexpr std::string_view kTunnelFast = "TunnelDirConns 1 #Added by Quorvel";
constexpr std::string_view kTunnelStrong = "TunnelDirConns 0 #Added by Quorvel";
constexpr std::string_view kPreferName = "PreferTunneledDirConns";
constexpr std::string_view kPreferFast = "PreferTunneledDirConns 1 #Added by Quorvel";
constexpr std::string_view kPreferStrong = "PreferTunneledDirConns 0 #Added by Quorvel";

std::string MenuText(const LanguageFile& language, const char* key) {
    return language.GetText(key, settings::kMainMenu, key);
}

} // namespace

void AnonymityMode::ApplyAnonymityMode(int mode, MessageOwner owner) {
    bool fast = mode == kFastMode;
    TorrcCycle cycle = TorrcFile(m_paths).Edit([fast](std::string& text) {
        TorrcFile::EnsureFlagLine(text, kTunnelName, fast ? kTunnelFast : kTunnelStrong,
                                  fast ? kTunnelStrong : kTunnelFast);
        TorrcFile::EnsureFlagLine(text, kPreferName, fast ? kPreferFast : kPreferStrong,
                                  fast ? kPreferStrong : kPreferFast);
    });
    ShowTorrcCycleFailure(m_ui, m_language, owner, cycle);
    if (cycle == TorrcCycle::Missing) {
        return;
    }
    // A file that could not be written still gets the reload: Tor then simply reads the old one.
    m_tor.Reload();
}

void AnonymityMode::OnFastMode() {
    m_settings.WriteInt(settings::kMainMenu, settings::kMode, kFastMode);
    ApplyAnonymityMode(kFastMode, MessageOwner::MainWindow);
}

void AnonymityMode::OnStrongMode() {
    m_settings.WriteInt(settings::kMainMenu, settings::kMode, kStrongMode);
    ApplyAnonymityMode(kStrongMode, MessageOwner::MainWindow);
}

void AnonymityMode::SelectMode() {
    ModeChoice choice = m_ui.AskMode();
    m_settings.WriteInt(settings::kMainMenu, settings::kMode, choice == ModeChoice::Fast ? kFastMode : kStrongMode);
}

std::string FastModeRadioText(const LanguageFile& language) {
    return MenuText(language, "Fast mode") + " (" + MenuText(language, "more speed") + ")";
}

std::string StrongModeRadioText(const LanguageFile& language) {
    return MenuText(language, "Strong anonymity mode") + " (" + MenuText(language, "more anonymity") + ")";
}

} // namespace quorvel

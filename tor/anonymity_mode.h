#pragma once

#include "platform/ui.h"

#include <string>

namespace quorvel {

class LanguageFile;
class Paths;
class SettingsStore;
class TorController;

// The stored mode ("Main menu"/"Mode"): 0 fast mode, anything else strong anonymity mode.
inline constexpr int kFastMode = 0;
inline constexpr int kStrongMode = 1;

// Fast mode lets Tor tunnel its directory connections, strong anonymity mode does not. The choice is written into
// the torrc as two marked option lines and Tor is told to read it again.
class AnonymityMode {
public:
    AnonymityMode(TorController& tor, Ui& ui, const LanguageFile& language, const SettingsStore& settings,
                  const Paths& paths)
        : m_tor(tor), m_ui(ui), m_language(language), m_settings(settings), m_paths(paths) {}

    // Makes the torrc match the mode and reloads Tor. Without a torrc: the message, owned by `owner`, and no
    // reload.
    void ApplyAnonymityMode(int mode, MessageOwner owner);
    // The two mode commands of the tray menu: store the mode, then apply it.
    void OnFastMode();
    void OnStrongMode();

    // The mode dialog shown at the first start: its choice is stored as the mode.
    void SelectMode();

private:
    TorController& m_tor;
    Ui& m_ui;
    const LanguageFile& m_language;
    const SettingsStore& m_settings;
    const Paths& m_paths;
};

// The texts of the mode dialog's two radio buttons (1079 fast, 1080 strong), in the user's language.
std::string FastModeRadioText(const LanguageFile& language);
std::string StrongModeRadioText(const LanguageFile& language);

} // namespace quorvel

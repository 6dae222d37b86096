#pragma once

#include "platform/ui.h"

#include <functional>

namespace quorvel {

class Controls;
class LanguageFile;
class Paths;
class SettingsStore;
class TorController;
class TorrcFile;

// Control ids of the country page.
inline constexpr int kCountryListId = 1081;     // list view: country, number of exits
inline constexpr int kCountryProgressId = 1085; // progress of the list filling

// What the country page does: fill its list with the countries of Tor's exit routers, restrict Tor's exits to
// the routers of the selected country, and cancel that restriction. Messages are owned by the page.
class CountrySelection {
public:
    CountrySelection(TorController& tor, Ui& ui, const LanguageFile& language, const SettingsStore& settings,
                     const Paths& paths)
        : m_tor(tor), m_ui(ui), m_language(language), m_settings(settings), m_paths(paths) {}

    // "Obtain the list of countries": fills the list view with one row per country and its number of exits.
    // Returns the row of the current country (to be selected), or -1.
    int ObtainList(Controls& controls);
    // "Select a country": writes the selected row's exits into the torrc, stores the country and restarts the
    // surfing session through `restartSurfing` so that Tor uses them.
    void SelectCountry(Controls& controls, const std::function<void()>& restartSurfing);
    // "Cancel country selection": removes the restriction from the torrc and the settings. Tor sees it at the
    // next start.
    void CancelCountry();

private:
    void ShowInformation(const char* english, const char* key);

    TorController& m_tor;
    Ui& m_ui;
    const LanguageFile& m_language;
    const SettingsStore& m_settings;
    const Paths& m_paths;
};

// What happens when Tor reports that no exit of the chosen country runs; called on the event watcher's thread.
// Removes the restriction, has Tor read its torrc again through `reload`, and tells the user.
void OnExitCountryFailed(const TorrcFile& torrc, const SettingsStore& settings, const LanguageFile& language, Ui& ui,
                         const std::function<void()>& reload);

} // namespace quorvel

#include "tor/country_selection.h"

#include "app/language_file.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "platform/controls.h"
#include "tor/exit_countries.h"
#include "tor/tor_controller.h"
#include "tor/torrc_file.h"

#include <string>

namespace quorvel {

namespace {

constexpr std::string_view kStrictLine = "StrictExitNodes 1\r\n";
constexpr int kProgressEnd = 12;

std::string CurrentCountry(const SettingsStore& settings) {
    return settings.ReadString(settings::kCountrySelection, settings::kCurrentCountry, "");
}

} // namespace

int CountrySelection::ObtainList(Controls& controls) {
    controls.Enable(kCountryProgressId, true);
    controls.SetRange(kCountryProgressId, 0, kProgressEnd);
    controls.DeleteAllItems(kCountryListId);

    LoadExitCountries(m_tor, [&controls](int position) { controls.SetPos(kCountryProgressId, position); });

    ExitCountryLists& lists = m_tor.ExitLists();
    for (std::size_t i = 0; i < lists.m_countryList.size(); ++i) {
        int row = controls.InsertItem(kCountryListId, static_cast<int>(i), lists.m_countryList[i]);
        controls.SetItemText(kCountryListId, row, 1, std::to_string(lists.m_countryCounts[i]));
    }
    controls.SetPos(kCountryProgressId, kProgressEnd);

    std::string current = CurrentCountry(m_settings);
    int currentRow = -1;
    for (int row = 0; row < controls.ItemCount(kCountryListId); ++row) {
        if (controls.ItemText(kCountryListId, row, 0) == current) {
            currentRow = row;
            break;
        }
    }
    lists.m_countryList.clear();
    lists.m_countryCounts.clear();
    return currentRow;
}

void CountrySelection::SelectCountry(Controls& controls, const std::function<void()>& restartSurfing) {
    TorrcFile torrc(m_paths);
    std::string text;
    if (!CurrentCountry(m_settings).empty()) {
        if (!torrc.Load(text)) {
            ShowMissingTorrcMessage(m_ui, m_language, MessageOwner::ActiveDialog);
        } else {
            TorrcFile::RemoveExitCountry(text);
            TorrcFile::TrimTail(text);
            torrc.Save(text);
        }
    }

    int row = controls.SelectedRow(kCountryListId);
    std::string country = row >= 0 ? controls.ItemText(kCountryListId, row, 0) : std::string();
    const ExitCountryLists& lists = m_tor.ExitLists();
    std::string nicknames;
    for (std::size_t i = 0; i < lists.m_exitNicknames.size() && row >= 0; ++i) {
        if (lists.m_exitCountries[i] == country) {
            nicknames += lists.m_exitNicknames[i];
            nicknames += ", ";
        }
    }
    // A row whose country has no known exit (the list is older than the exit lists) would write an ExitNodes line
    // without routers; it counts as no selection.
    if (nicknames.empty()) {
        ShowInformation("Country is not selected!", "Country is not selected");
        return;
    }
    nicknames.resize(nicknames.size() - 2);

    if (!torrc.Load(text)) {
        ShowMissingTorrcMessage(m_ui, m_language, MessageOwner::ActiveDialog);
        return;
    }
    std::ptrdiff_t searchFrom = TorrcFile::Find(text, kStrictLine);
    if (searchFrom == TorrcFile::kNotFound) {
        TorrcFile::Append(text, "\r\nStrictExitNodes 1\r\n");
        searchFrom = static_cast<std::ptrdiff_t>(text.size());
    } else {
        searchFrom += static_cast<std::ptrdiff_t>(kStrictLine.size());
    }
    std::ptrdiff_t exitNodes = TorrcFile::Find(text, "ExitNodes ", searchFrom);
    if (exitNodes != TorrcFile::kNotFound) {
        std::ptrdiff_t lineEnd = TorrcFile::Find(text, "\r\n", exitNodes + 1);
        if (lineEnd != TorrcFile::kNotFound) {
            TorrcFile::Delete(text, exitNodes, lineEnd - exitNodes);
        }
    }
    TorrcFile::Append(text, "ExitNodes " + nicknames + "\r\n");
    torrc.Save(text);

    m_settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, country);
    if (restartSurfing) {
        restartSurfing();
    }
    ShowInformation("Country selected, IP addresses added.", "Country selected");
}

void CountrySelection::CancelCountry() {
    TorrcFile torrc(m_paths);
    std::string text;
    if (!torrc.Load(text)) {
        ShowMissingTorrcMessage(m_ui, m_language, MessageOwner::ActiveDialog);
        return;
    }
    TorrcFile::RemoveExitCountry(text);
    torrc.Save(text);
    m_settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, "");
    ShowInformation("Country selection cancelled.", "Country selection cancelled");
}

void CountrySelection::ShowInformation(const char* english, const char* key) {
    m_ui.ShowMessage(kMessageCaption, m_language.GetText(english, "Messages", key), MessageIcon::Information,
                     MessageButtons::Ok, MessageOwner::ActiveDialog);
}

void OnExitCountryFailed(const TorrcFile& torrc, const SettingsStore& settings, const LanguageFile& language, Ui& ui,
                         const std::function<void()>& reload) {
    std::string text;
    if (!torrc.Load(text)) {
        ShowMissingTorrcMessage(ui, language, MessageOwner::None);
        return;
    }
    TorrcFile::RemoveExitCountry(text);
    torrc.Save(text);
    settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, "");
    if (reload) {
        reload();
    }
    ui.ShowMessage(kMessageCaption,
                   language.GetText("None of the servers in the selected country is operational. Country selection "
                                    "has been cancelled. Please select another country or try again later.",
                                    "Messages", "No operational servers"),
                   MessageIcon::Warning, MessageButtons::Ok, MessageOwner::None);
}

} // namespace quorvel

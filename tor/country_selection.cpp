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
    if (!CurrentCountry(m_settings).empty()) {
        TorrcCycle removed = torrc.Edit([](std::string& text) {
            TorrcFile::RemoveExitCountry(text);
            TorrcFile::TrimTail(text);
        });
        // Without the file the selection goes on as before; a file that keeps the old restriction ends it here.
        ShowTorrcCycleFailure(m_ui, m_language, MessageOwner::ActiveDialog, removed);
        if (removed == TorrcCycle::NotWritten) {
            return;
        }
    }

    int row = controls.SelectedRow(kCountryListId);
    std::string country = row >= 0 ? controls.ItemText(kCountryListId, row, 0) : std::string();
    const ExitCountryLists& lists = m_tor.ExitLists();
    std::string routers;
    for (std::size_t i = 0; i < lists.m_exitFingerprints.size() && row >= 0; ++i) {
        if (lists.m_exitCountries[i] == country) {
            routers += lists.m_exitFingerprints[i];
            routers += ", ";
        }
    }
    // A row whose country has no known exit (the list is older than the exit lists) would write an ExitNodes line
    // without routers; it counts as no selection.
    if (routers.empty()) {
        ShowInformation("Country is not selected!", "Country is not selected");
        return;
    }
    routers.resize(routers.size() - 2);

    TorrcCycle written = torrc.Edit(
        [&routers](std::string& text) {
            std::ptrdiff_t searchFrom = TorrcFile::FindStrictExitLine(text);
            if (searchFrom == TorrcFile::kNotFound) {
                TorrcFile::Append(text, "\r\nStrictExitNodes 1\r\n");
                searchFrom = static_cast<std::ptrdiff_t>(text.size());
            } else {
                searchFrom = TorrcFile::LineEnd(text, searchFrom);
            }
            std::ptrdiff_t exitNodes = TorrcFile::FindOptionLine(text, "ExitNodes", searchFrom);
            if (exitNodes != TorrcFile::kNotFound) {
                TorrcFile::Delete(text, exitNodes, TorrcFile::LineEnd(text, exitNodes) - exitNodes);
            }
            TorrcFile::Append(text, "ExitNodes " + routers + "\r\n");
        },
        [&] { m_settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, country); });
    if (written != TorrcCycle::Saved) {
        ShowTorrcCycleFailure(m_ui, m_language, MessageOwner::ActiveDialog, written);
        return;
    }
    if (restartSurfing) {
        restartSurfing();
    }
    ShowInformation("Country selected, IP addresses added.", "Country selected");
}

void CountrySelection::CancelCountry() {
    TorrcCycle cycle = TorrcFile(m_paths).Edit(TorrcFile::RemoveExitCountry, [this] {
        m_settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, "");
    });
    if (cycle != TorrcCycle::Saved) {
        ShowTorrcCycleFailure(m_ui, m_language, MessageOwner::ActiveDialog, cycle);
        return;
    }
    ShowInformation("Country selection cancelled.", "Country selection cancelled");
}

void CountrySelection::ShowInformation(const char* english, const char* key) {
    m_ui.ShowMessage(kMessageCaption, m_language.GetText(english, "Messages", key), MessageIcon::Information,
                     MessageButtons::Ok, MessageOwner::ActiveDialog);
}

void OnExitCountryFailed(const TorrcFile& torrc, const SettingsStore& settings, const LanguageFile& language, Ui& ui,
                         const std::function<void()>& reload) {
    TorrcCycle cycle = torrc.Edit(TorrcFile::RemoveExitCountry, [&settings] {
        settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, "");
    });
    if (cycle != TorrcCycle::Saved) {
        ShowTorrcCycleFailure(ui, language, MessageOwner::None, cycle);
        return;
    }
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

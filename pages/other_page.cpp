#include "pages/other_page.h"

#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "pages/page_text.h"
#include "platform/controls.h"
#include "platform/ui.h"
#include "tor/torrc_file.h"

namespace quorvel {

namespace {

using namespace page_text;

// The leading digits of a text as a number; none gives 0. Long digit runs are capped rather than overflowing.
long LeadingNumber(const std::string& text) {
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value > 100000000 ? value : value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::string COtherPage::Title() const {
    return LanguageText(m_language, kOptionsDialog, "Other");
}

void COtherPage::OnInitDialog(Controls& controls) {
    m_selectedLanguage.reset();
    controls.ResetContent(kLanguageBox);
    controls.AddString(kLanguageBox, kEnglish);
    controls.AddString(kLanguageBox, kRussian);
    controls.SetText(kLanguageBox, m_settings.ReadString(settings::kOptionsDialog, settings::kLanguage, kEnglish));
    m_openedPort = m_settings.ReadString(settings::kTorSettings, settings::kTorPort, "9050");
    controls.SetText(kPortEdit, m_openedPort);
    controls.SetText(kPeriodEdit, m_settings.ReadString(settings::kTorSettings, settings::kTorIpPeriod, "30"));
    controls.SetCheck(kBalloonTipsBox, m_settings.ReadBool(settings::kOptionsDialog, settings::kShowBalloonTips, true)
                                           ? kChecked
                                           : kUnchecked);

    controls.SetText(kTakesEffectNote,
                     LanguageText(m_language, kOptionsDialog, "Changes will take effect after restarting",
                                  "Changes will take effect after restarting."));
    controls.SetText(kPortGroup, LanguageText(m_language, kOptionsDialog, "Communication port"));
    controls.SetText(kPortLabel,
                     LanguageText(m_language, kOptionsDialog, "Port for communication between Quorvel and Tor",
                                  "Port for communication between Quorvel and Tor."));
    controls.SetText(kPortDefault, LanguageText(m_language, kOptionsDialog, "Default") + " 9050");
    controls.SetText(kPeriodGroup, LanguageText(m_language, kOptionsDialog, "False IP period"));
    controls.SetText(kPeriodLabel, LanguageText(m_language, kOptionsDialog, "Time the false IP will change in",
                                                "Time the false IP will change in."));
    controls.SetText(kMinutesLabel, LanguageText(m_language, kOptionsDialog, "minutes"));
    controls.SetText(kLanguageGroup, LanguageText(m_language, kOptionsDialog, "Language"));
    controls.SetText(kBalloonTipsBox, LanguageText(m_language, kOptionsDialog, "Show baloon tips",
                                                   "Show baloon tips when running and changing IP"));
}

void COtherPage::OnLanguageSelected(const Controls& controls) {
    const int index = controls.CurSel(kLanguageBox);
    if (index >= 0) {
        m_selectedLanguage = controls.ItemText(kLanguageBox, index);
    }
}

std::optional<long> COtherPage::NumberUpTo(const std::string& text, long highest) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const std::size_t first = text.find_first_not_of('0');
    const std::string digits = first == std::string::npos ? "0" : text.substr(first);
    if (digits.size() > 9) {
        return std::nullopt;
    }
    const long value = std::stol(digits);
    return value <= highest ? std::optional<long>(value) : std::nullopt;
}

bool COtherPage::CanApply(const Controls& controls) {
    const auto port = NumberUpTo(controls.Text(kPortEdit), kHighestPort);
    if (!port || *port == 0) {
        m_ui.ShowMessage(kMessageCaption,
                         LanguageText(m_language, kMessages, "Invalid port",
                                      "Please enter a port from 1 to 65535 for the communication between Quorvel "
                                      "and Tor. Nothing has been saved."),
                         MessageIcon::Warning, MessageButtons::Ok, MessageOwner::ActiveDialog);
        return false;
    }
    const auto period = NumberUpTo(controls.Text(kPeriodEdit), kLongestPeriodMinutes);
    if (!period || *period == 0) {
        m_ui.ShowMessage(kMessageCaption,
                         LanguageText(m_language, kMessages, "Invalid false IP period",
                                      "Please enter a false IP period from 1 to 43200 minutes. Nothing has been "
                                      "saved."),
                         MessageIcon::Warning, MessageButtons::Ok, MessageOwner::ActiveDialog);
        return false;
    }
    return true;
}

void COtherPage::OnOK(Controls& controls) {
    WriteTorrc(controls.Text(kPortEdit), controls.Text(kPeriodEdit));
    if (m_selectedLanguage && !m_selectedLanguage->empty()) {
        m_settings.WriteString(settings::kOptionsDialog, settings::kLanguage, *m_selectedLanguage);
    }
    m_settings.WriteBool(settings::kOptionsDialog, settings::kShowBalloonTips,
                         controls.Check(kBalloonTipsBox) == kChecked);
}

void COtherPage::WriteTorrc(const std::string& port, const std::string& period) {
    bool portSet = false;
    const std::string seconds = std::to_string(LeadingNumber(period) * 60);
    TorrcCycle cycle = TorrcFile(m_paths).Edit(
        [&](std::string& text) {
            portSet = TorrcFile::SetSocksPort(text, port);
            TorrcFile::SetNumber(text, "MaxCircuitDirtiness", seconds, true);
            TorrcFile::SetNumber(text, "NewCircuitPeriod", seconds, true);
        },
        [&] {
            // The programs are pointed at this port: it must be the one Tor listens on.
            if (portSet) {
                m_settings.WriteString(settings::kTorSettings, settings::kTorPort, port);
            }
            if (!period.empty()) {
                m_settings.WriteString(settings::kTorSettings, settings::kTorIpPeriod, period);
            }
        });
    if (cycle != TorrcCycle::Saved) {
        ShowTorrcCycleFailure(m_ui, m_language, MessageOwner::ActiveDialog, cycle);
        return;
    }
    if (!portSet && port != m_openedPort) {
        m_ui.ShowMessage(kMessageCaption,
                         LanguageText(m_language, kMessages, "Tor port not changed",
                                      "The Tor configuration file has no SocksPort line with a port to change, so "
                                      "the port has not been changed."),
                         MessageIcon::Warning, MessageButtons::Ok, MessageOwner::ActiveDialog);
    }
}

} // namespace quorvel

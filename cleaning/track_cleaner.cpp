#include "cleaning/track_cleaner.h"

#include "app/language_file.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "cleaning/clean_options.h"
#include "cleaning/internet_explorer_tracks.h"
#include "cleaning/mozilla_tracks.h"
#include "platform/ui.h"
#include "redirect/mozilla_browser.h"

namespace quorvel {

namespace {

const char* ProgramName(TrackBrowser browser) {
    switch (browser) {
    case TrackBrowser::InternetExplorer:
        return "Internet Explorer ";
    case TrackBrowser::Firefox:
        return "Firefox ";
    case TrackBrowser::Netscape:
        return "Netscape ";
    }
    return "";
}

std::string Trimmed(const std::string& text) {
    static constexpr const char* kBlanks = " \t\r\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

} // namespace

TrackCleaner::TrackCleaner(const Paths& paths, const SettingsStore& settings, const LanguageFile& language, Ui& ui,
                           RegistryStore& registry, UrlCache& urlCache, UrlHistory& urlHistory, TrackFiles& files)
    : m_paths(paths), m_settings(settings), m_language(language), m_ui(ui), m_registry(registry), m_urlCache(urlCache),
      m_urlHistory(urlHistory), m_files(files) {}

void TrackCleaner::CleanTracks() {
    // An empty or relative profile path gives nothing, so that browser is skipped entirely.
    const auto firefox = ConfiguredProfileFolder(m_settings, MozillaBrowser::Firefox);
    const auto netscape = ConfiguredProfileFolder(m_settings, MozillaBrowser::Netscape);

    std::string report;
    for (const CleanOption& option : kCleanOptions) {
        if ((option.browser == TrackBrowser::Firefox && !firefox) ||
            (option.browser == TrackBrowser::Netscape && !netscape)) {
            continue;
        }
        if (!m_settings.ReadBool(settings::kCleanOptions, option.key, false)) {
            continue;
        }
        report += ReportLine(option, Clean(option, firefox, netscape));
    }
    if (m_settings.ReadBool(settings::kOptionsDialog, settings::kCleanReport, true)) {
        ShowReport(report);
    }
}

TrackCleaner::Outcome TrackCleaner::Clean(const CleanOption& option, const std::optional<std::string>& firefoxProfile,
                                          const std::optional<std::string>& netscapeProfile) {
    const std::string firefox = firefoxProfile.value_or("");
    const std::string netscape = netscapeProfile.value_or("");
    // Each kind is known by its check box. What Internet Explorer's calls fail to delete is not reported (the
    // system keeps some of it open for good), so its kinds always read as removed.
    switch (option.checkBoxId) {
    case 300:
        DeleteUrlCacheEntries(m_urlCache, false);
        return Outcome::Removed;
    case 301:
        DeleteUrlCacheEntries(m_urlCache, true);
        EmptyCookiesFolder(m_paths, m_files);
        return Outcome::Removed;
    case 302:
        DeleteUserKey(m_registry, kTypedUrlsKey);
        return Outcome::Removed;
    case 303:
        DeleteUserKey(m_registry, kIntelliFormsKey);
        return Outcome::Removed;
    case 304:
        // Without a history store (always so on Linux) the report says so rather than that nothing was selected.
        return ClearUrlHistory(m_urlHistory) ? Outcome::Removed : Outcome::NothingToClear;
    case 306:
        return Done(CleanFirefoxCache(m_paths, m_files, firefox));
    case 307:
        return Done(RemoveProfileFiles(m_files, firefox, {"cookies.txt", "cookies.sqlite"}));
    case 308:
        return Done(RemoveProfileFiles(m_files, firefox, {"history.dat"}));
    case 309:
        return Done(RemoveProfileFiles(m_files, firefox,
                                       {"formhistory.dat", "signons2.txt", "signons3.txt", "formhistory.sqlite"}));
    case 310:
        return Done(RemoveProfileFiles(m_files, firefox, {"downloads.rdf", "downloads.sqlite"}));
    case 311:
        return Done(CleanNetscapeCache(m_files, netscape));
    case 312:
        return Done(RemoveProfileFiles(m_files, netscape, {"cookies.txt"}));
    case 313:
        return Done(RemoveProfileFiles(m_files, netscape, {"history.dat"}));
    case 314: {
        const bool formsGone = RemoveProfileFiles(m_files, netscape, {"formhistory.dat"});
        return Done(RemoveR7uFiles(m_files, netscape) && formsGone);
    }
    case 315:
        return Done(RemoveProfileFiles(m_files, netscape, {"downloads.rdf"}));
    }
    return Outcome::NothingToClear;
}

std::string TrackCleaner::ReportLine(const CleanOption& option, Outcome outcome) const {
    std::string line = ProgramName(option.browser);
    line += m_language.GetText(option.label, clean_text::kSection, option.label);
    line += option.checkBoxId == 308 ? "(Firefox 2)     " : "     ";
    switch (outcome) {
    case Outcome::Removed:
        line += m_language.GetText(clean_text::kRemoved, clean_text::kSection, clean_text::kRemoved);
        break;
    case Outcome::SomeLeft:
        line += m_language.GetText(clean_text::kNotRemoved, clean_text::kSection, clean_text::kNotRemovedKey);
        break;
    case Outcome::NothingToClear:
        line += m_language.GetText(clean_text::kNothingToClear, clean_text::kSection, clean_text::kNothingToClearKey);
        break;
    }
    line += "\n";
    return line;
}

void TrackCleaner::ShowReport(const std::string& report) const {
    const std::string caption =
        m_language.GetText(clean_text::kReportCaption, clean_text::kSection, clean_text::kReportCaption);
    std::string text = Trimmed(report);
    if (text.empty()) {
        text = m_language.GetText(clean_text::kNothingSelected, clean_text::kMessagesSection,
                                  clean_text::kNothingSelectedKey);
    }
    m_ui.ShowMessage(caption, text, MessageIcon::Information, MessageButtons::Ok, MessageOwner::MainWindow);
}

} // namespace quorvel

#pragma once

#include <optional>
#include <string>

namespace quorvel {

class LanguageFile;
class Paths;
class RegistryStore;
class SettingsStore;
class TrackFiles;
class Ui;
class UrlCache;
class UrlHistory;
struct CleanOption;

// The "Clean internet tracks" command: removes every kind of browser track the user selected in the clean
// options and reports what it removed. On Linux it is given LinuxUrlCache, LinuxUrlHistory and LinuxTrackFiles.
class TrackCleaner {
public:
    TrackCleaner(const Paths& paths, const SettingsStore& settings, const LanguageFile& language, Ui& ui,
                 RegistryStore& registry, UrlCache& urlCache, UrlHistory& urlHistory, TrackFiles& files);

    // Runs the selected kinds in check-box order (Internet Explorer, then Firefox and Netscape when their profile
    // folder is set), one report line after each, then shows the report when "Clean report" is on.
    void CleanTracks();

private:
    enum class Outcome { Removed, SomeLeft, NothingToClear };
    static Outcome Done(bool allGone) { return allGone ? Outcome::Removed : Outcome::SomeLeft; }

    // The report line of one kind: program name, label, a gap and the outcome, ending in a line feed.
    std::string ReportLine(const CleanOption& option, Outcome outcome) const;
    Outcome Clean(const CleanOption& option, const std::optional<std::string>& firefoxProfile,
                  const std::optional<std::string>& netscapeProfile);
    void ShowReport(const std::string& report) const;

    const Paths& m_paths;
    const SettingsStore& m_settings;
    const LanguageFile& m_language;
    Ui& m_ui;
    RegistryStore& m_registry;
    UrlCache& m_urlCache;
    UrlHistory& m_urlHistory;
    TrackFiles& m_files;
};

} // namespace quorvel

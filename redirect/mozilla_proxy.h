#pragma once

#include "redirect/mozilla_browser.h"

#include <string>

namespace quorvel {

class LanguageFile;
class SettingsStore;
class Ui;

// How the appended redirection lines are broken: the page puts each preference on a line of its own; Start runs
// the first five together on one line. The preferences are the same.
enum class MozillaLineStyle { Page, Start };

// The proxy preferences of a Mozilla-family browser: saved from prefs.js into the settings, redirected by lines
// appended to user.js (which the browser reads after prefs.js), and put back in their place.
class MozillaProxy {
public:
    MozillaProxy(const SettingsStore& settings, const LanguageFile& language, Ui& ui)
        : m_settings(settings), m_language(language), m_ui(ui) {}

    // Saves the block of proxy preferences of prefs.js (blank when there is none, or when the browser already
    // points at the SOCKS proxy on `port`). With no profile configured it says so, clears the browser's selection
    // and returns false; a prefs.js that cannot be read or is empty also gives false and keeps the old backup.
    bool BackupMozillaProxy(MozillaBrowser browser, int port);

    // Appends the redirection lines to user.js, on a line of their own, creating it when missing (then always in
    // the page style). Does nothing without a profile. False when user.js does not hold the lines afterwards; a
    // user.js that exists but cannot be read is left as it is.
    bool ApplyMozillaProxy(MozillaBrowser browser, int port, MozillaLineStyle style);

    // Takes the redirection lines out of user.js and puts the saved block in their place, or lines that select no
    // proxy when there is no usable backup; every other line of user.js stays. True when user.js holds them;
    // false without a profile, or when an existing user.js cannot be read (nothing is written then).
    bool RestoreMozillaProxy(MozillaBrowser browser);

    // The text appended to user.js for a port in a style.
    static std::string RedirectionLines(int port, MozillaLineStyle style);
    // The whole user.js written when there is nothing to restore.
    static std::string ResetLines();

private:
    const SettingsStore& m_settings;
    const LanguageFile& m_language;
    Ui& m_ui;
};

} // namespace quorvel

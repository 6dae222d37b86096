#include "redirect/mozilla_proxy.h"

#include "app/language_file.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "app/text_file.h"
#include "platform/file_path.h"
#include "platform/ui.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace quorvel {

namespace {

// Every proxy preference line begins with this.
constexpr const char* kProxyPrefix = "user_pref(\"network.proxy";
// Present when the browser is already pointed at the SOCKS proxy.
constexpr const char* kRedirectedSocks = "user_pref(\"network.proxy.socks\", \"127.0.0.1";
// Present when a restored block sets the SOCKS host itself.
constexpr const char* kSocksHost = "user_pref(\"network.proxy.socks\"";

// Line breaks cannot be kept in one settings value, so they are coded.
constexpr char kCodedCarriageReturn = '@';
constexpr char kCodedLineFeed = '#';

constexpr const char* kClearedProxies = "user_pref(\"network.proxy.http\", \"\");\n"
                                        "user_pref(\"network.proxy.http_port\", 0);\n"
                                        "user_pref(\"network.proxy.ssl\", \"\");\n"
                                        "user_pref(\"network.proxy.ssl_port\", 0);\n";
constexpr const char* kResetType = "user_pref(\"network.proxy.type\", 0);\n";
constexpr const char* kResetSocks = "user_pref(\"network.proxy.socks\", \"\");\n"
                                    "user_pref(\"network.proxy.socks_port\", 0);\n";

std::string ProfileFile(const std::string& folder, const char* name) {
    return folder + "/" + name;
}

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(FilePath(path), error);
}

bool WriteWhole(const std::string& path, const std::string& text) {
    CTextFileWrite file(path);
    if (!file.IsOpen()) {
        return false;
    }
    file.Write(text);
    return file.Close();
}

} // namespace

std::string MozillaProxy::RedirectionLines(int port, MozillaLineStyle style) {
    std::string cleared = kClearedProxies;
    if (style == MozillaLineStyle::Start) {
        std::erase(cleared, '\n');
    }
    return cleared + "user_pref(\"network.proxy.type\", 1);\n" +
           "user_pref(\"network.proxy.socks\", \"127.0.0.1\");\n" + "user_pref(\"network.proxy.socks_port\", " +
           std::to_string(port) + ");\n";
}

std::string MozillaProxy::ResetLines() {
    return std::string(kClearedProxies) + kResetType + kResetSocks;
}

bool MozillaProxy::BackupMozillaProxy(MozillaBrowser browser) {
    const auto folder = ConfiguredProfileFolder(m_settings, browser);
    if (!folder) {
        const std::string text =
            m_language.GetText("No Firefox profile found!", "Messages", "No Firefox profile found");
        m_ui.ShowMessage(kMessageCaption, WithBrowserName(text, browser), MessageIcon::Error, MessageButtons::Ok,
                         MessageOwner::None);
        m_settings.WriteBool(settings::kAnonymization, MozillaBrowserName(browser), false);
        return false;
    }

    std::string prefs;
    {
        CTextFileRead file(ProfileFile(*folder, "prefs.js"));
        if (!file.IsOpen() || !file.Read(prefs, "\r\n") || prefs.empty()) {
            return false;
        }
    }

    const char* section = MozillaProxyBackupSection(browser);
    const auto first = prefs.find(kProxyPrefix);
    if (first == std::string::npos || prefs.find(kRedirectedSocks) != std::string::npos) {
        // Nothing of the user's own to keep: no proxy preferences, or only the redirection itself (the program
        // ended without restoring).
        return m_settings.WriteBlank(section, settings::kProxy);
    }
    // prefs.js is sorted by name, so the proxy preferences lie together from the first to the end of the last.
    const auto last = prefs.rfind(kProxyPrefix);
    const auto end = prefs.find(';', last);
    std::string block = end == std::string::npos ? std::string() : prefs.substr(first, end - first + 1);
    std::replace(block.begin(), block.end(), '\r', kCodedCarriageReturn);
    std::replace(block.begin(), block.end(), '\n', kCodedLineFeed);
    return m_settings.WriteString(section, settings::kProxy, block);
}

bool MozillaProxy::ApplyMozillaProxy(MozillaBrowser browser, int port, MozillaLineStyle style) {
    const auto folder = ConfiguredProfileFolder(m_settings, browser);
    if (!folder) {
        return false;
    }
    const std::string path = ProfileFile(*folder, "user.js");
    std::string text;
    CTextFileRead file(path);
    if (file.IsOpen()) {
        file.Read(text, "\r\n");
        file.Close();
        text += RedirectionLines(port, style);
    } else if (Exists(path)) {
        return false; // its lines could not be kept
    } else {
        text = RedirectionLines(port, MozillaLineStyle::Page);
    }
    return WriteWhole(path, text);
}

bool MozillaProxy::RestoreMozillaProxy(MozillaBrowser browser) {
    const auto folder = ConfiguredProfileFolder(m_settings, browser);
    if (!folder) {
        return false; // there is no folder to write user.js into
    }
    std::string text = m_settings.ReadString(MozillaProxyBackupSection(browser), settings::kProxy, "");
    // A saved block always starts with "user_pref"; anything else is no backup.
    const bool usable =
        !text.empty() && ((text.front() >= 'A' && text.front() <= 'Z') || (text.front() >= 'a' && text.front() <= 'z'));
    if (usable) {
        std::replace(text.begin(), text.end(), kCodedCarriageReturn, '\r');
        std::replace(text.begin(), text.end(), kCodedLineFeed, '\n');
        if (text.find(kSocksHost) == std::string::npos) {
            text += kResetSocks; // the redirection's SOCKS lines must not outlive it
        }
    } else {
        text = ResetLines();
    }
    return WriteWhole(ProfileFile(*folder, "user.js"), text);
}

} // namespace quorvel

#include "redirect/mozilla_proxy.h"

#include "app/language_file.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "app/text_file.h"
#include "platform/file_path.h"
#include "platform/ui.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

namespace quorvel {

namespace {

// Every proxy preference line begins with this.
constexpr const char* kProxyPrefix = "user_pref(\"network.proxy";
// Both present when the browser is already pointed at the SOCKS proxy in use.
constexpr const char* kRedirectedSocks = "user_pref(\"network.proxy.socks\", \"127.0.0.1\");";
constexpr const char* kSocksPortPrefix = "user_pref(\"network.proxy.socks_port\", ";
// Present when a restored block sets the SOCKS host itself.
constexpr const char* kSocksHost = "user_pref(\"network.proxy.socks\"";

// Line breaks cannot be kept in one settings value, so they are coded. The first coding turned CR into '@' and
// LF into '#', which a host name holding either could not survive; backups are now marked by a first character
// that no block begins with, and percent-coded.
constexpr char kCodedCarriageReturn = '@';
constexpr char kCodedLineFeed = '#';
constexpr char kPercentCoded = '~';

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

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Line breaks as the text-file reader gives them back.
std::string WithCrLf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n' && (out.empty() || out.back() != '\r')) {
            out += '\r';
        }
        out += c;
    }
    return out;
}

std::string EncodeBlock(const std::string& block) {
    std::string coded(1, kPercentCoded);
    for (const char c : block) {
        coded += c == '%'    ? std::string("%25")
                 : c == '\r' ? std::string("%0D")
                 : c == '\n' ? std::string("%0A")
                             : std::string(1, c);
    }
    return coded;
}

// The saved block, from either coding; nothing when the value is no backup (blank, or not a block).
std::optional<std::string> DecodeBlock(std::string value) {
    if (!value.empty() && value.front() == kPercentCoded) {
        std::string block;
        for (std::size_t i = 1; i < value.size(); ++i) {
            const std::string code = value.substr(i, 3);
            if (code == "%25" || code == "%0D" || code == "%0A") {
                block += code == "%25" ? '%' : code == "%0D" ? '\r' : '\n';
                i += 2;
            } else {
                block += value[i];
            }
        }
        return block;
    }
    if (value.empty() || !IsLetter(value.front())) {
        return std::nullopt;
    }
    std::replace(value.begin(), value.end(), kCodedCarriageReturn, '\r');
    std::replace(value.begin(), value.end(), kCodedLineFeed, '\n');
    return value;
}

// The length of the redirection lines (either style, any port) that begin at `pos` of a text read with CR LF
// line breaks; 0 when they are not ours.
std::size_t RedirectionLength(const std::string& text, std::size_t pos) {
    for (const MozillaLineStyle style : {MozillaLineStyle::Page, MozillaLineStyle::Start}) {
        std::string head = WithCrLf(MozillaProxy::RedirectionLines(0, style));
        head.erase(head.size() - std::string("0);\r\n").size());
        if (text.compare(pos, head.size(), head) != 0) {
            continue;
        }
        std::size_t end = pos + head.size();
        const std::size_t digits = end;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
            ++end;
        }
        if (end > digits && text.compare(end, 2, ");") == 0) {
            return end + 2 - pos;
        }
    }
    return 0;
}

// True when `lines` stand in the text as whole lines.
bool HoldsLines(const std::string& text, const std::string& lines) {
    for (auto pos = text.find(lines); pos != std::string::npos; pos = text.find(lines, pos + 1)) {
        const std::size_t end = pos + lines.size();
        if ((pos == 0 || text[pos - 1] == '\n') && (end == text.size() || text[end] == '\r')) {
            return true;
        }
    }
    return false;
}

// user.js with every copy of the redirection lines taken out and `restored` in place of the first (at the end
// when there is none). Every other line stays as it was. `restored` is left out when an earlier Stop already put
// exactly these lines there, so that user.js does not grow by one block per session.
std::string WithoutRedirection(std::string text, const std::string& restored) {
    std::optional<std::size_t> at;
    const std::string first = "user_pref(\"network.proxy.http\", \"\");";
    for (auto pos = text.find(first); pos != std::string::npos; pos = text.find(first, pos)) {
        const std::size_t length = RedirectionLength(text, pos);
        if (length == 0) {
            ++pos;
            continue;
        }
        const bool ownLine = pos == 0 || text[pos - 1] == '\n';
        const bool lineBreak = text.compare(pos + length, 2, "\r\n") == 0;
        text.erase(pos, length + (lineBreak ? 2 : 0));
        if (!ownLine) {
            // Appended to the user's last line by an earlier version: that line gets its line break back.
            text.insert(pos, "\r\n");
            pos += 2;
        }
        at = at.value_or(pos);
    }
    std::string bare = WithCrLf(restored);
    while (!bare.empty() && (bare.back() == '\n' || bare.back() == '\r')) {
        bare.pop_back();
    }
    if (HoldsLines(text, bare)) {
        return text;
    }
    std::size_t pos = at.value_or(text.size());
    if (pos > 0 && text[pos - 1] != '\n') {
        text.insert(pos, "\r\n");
        pos += 2;
    }
    const bool ended = !restored.empty() && restored.back() == '\n';
    return text.insert(pos, pos < text.size() && !ended ? restored + "\r\n" : restored);
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

bool MozillaProxy::BackupMozillaProxy(MozillaBrowser browser, int port) {
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
    const bool redirected = prefs.find(kRedirectedSocks) != std::string::npos &&
                            prefs.find(kSocksPortPrefix + std::to_string(port) + ");") != std::string::npos;
    if (first == std::string::npos || redirected) {
        // Nothing of the user's own to keep: no proxy preferences, or only the redirection itself (the program
        // ended without restoring). A SOCKS proxy of the user's own on another local port is kept.
        return m_settings.WriteBlank(section, settings::kProxy);
    }
    // prefs.js is sorted by name, so the proxy preferences lie together from the first to the end of the last.
    // The last one ends at the last ';' of its line: its value may hold one (a list of proxy exceptions).
    const auto last = prefs.rfind(kProxyPrefix);
    const auto lineEnd = prefs.find_first_of("\r\n", last);
    auto end = prefs.rfind(';', lineEnd == std::string::npos ? std::string::npos : lineEnd - 1);
    if (end == std::string::npos || end < last) {
        end = prefs.find(';', last);
    }
    const std::string block = end == std::string::npos ? std::string() : prefs.substr(first, end - first + 1);
    return m_settings.WriteString(section, settings::kProxy, block.empty() ? block : EncodeBlock(block));
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
        if (!file.Read(text, "\r\n")) {
            return false; // its lines could not be kept
        }
        file.Close();
        if (!text.empty() && text.back() != '\n') {
            text += "\r\n"; // never inside the user's last line, which may be a comment
        }
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
    std::string restored = ResetLines();
    if (auto block = DecodeBlock(m_settings.ReadString(MozillaProxyBackupSection(browser), settings::kProxy, ""))) {
        restored = *block;
        if (restored.find(kSocksHost) == std::string::npos) {
            restored += kResetSocks; // the redirection's SOCKS lines must not outlive it
        }
    }
    const std::string path = ProfileFile(*folder, "user.js");
    if (!Exists(path)) {
        return WriteWhole(path, restored);
    }
    std::string text;
    {
        CTextFileRead file(path);
        if (!file.IsOpen() || !file.Read(text, "\r\n")) {
            return false; // the user's own lines could not be kept
        }
    }
    const std::string changed = WithoutRedirection(text, restored);
    return changed == text || WriteWhole(path, changed);
}

} // namespace quorvel

#include "tor/torrc_file.h"

#include "app/language_file.h"
#include "app/locations.h"
#include "app/text_file.h"

#include <algorithm>
#include <mutex>

namespace quorvel {

namespace {

bool IsAsciiLetterOrDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t SkipBlanks(const std::string& text, std::size_t at) {
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    return at;
}

// The length of the line break at `at`: CR LF, LF or CR; 0 at the end of the text.
std::size_t LineBreakLength(const std::string& text, std::size_t at) {
    if (at >= text.size()) {
        return 0;
    }
    return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
}

std::mutex g_cycleMutex;

} // namespace

std::string TorrcFile::Path() const {
    return TorrcPath(m_paths);
}

bool TorrcFile::Load(std::string& text) const {
    CTextFileRead file(Path());
    if (!file.IsOpen()) {
        return false;
    }
    std::string whole;
    if (!file.Read(whole, "\r\n")) {
        return false;
    }
    text = std::move(whole);
    return true;
}

bool TorrcFile::Save(const std::string& text) const {
    CTextFileWrite file(Path());
    if (!file.IsOpen()) {
        return false;
    }
    file.Write(text);
    return file.Close();
}

TorrcCycle TorrcFile::Edit(const std::function<void(std::string& text)>& change,
                           const std::function<void()>& saved) const {
    std::lock_guard lock(g_cycleMutex);
    std::string text;
    if (!Load(text)) {
        return TorrcCycle::Missing;
    }
    change(text);
    if (!Save(text)) {
        return TorrcCycle::NotWritten;
    }
    if (saved) {
        saved();
    }
    return TorrcCycle::Saved;
}

std::ptrdiff_t TorrcFile::Find(const std::string& text, std::string_view literal, std::ptrdiff_t start) {
    if (start < 0 || static_cast<std::size_t>(start) > text.size()) {
        return kNotFound;
    }
    std::size_t at = text.find(literal, static_cast<std::size_t>(start));
    return at == std::string::npos ? kNotFound : static_cast<std::ptrdiff_t>(at);
}

void TorrcFile::Delete(std::string& text, std::ptrdiff_t position, std::ptrdiff_t count) {
    if (position < 0 || count <= 0 || static_cast<std::size_t>(position) >= text.size()) {
        return;
    }
    text.erase(static_cast<std::size_t>(position), static_cast<std::size_t>(count));
}

int TorrcFile::Replace(std::string& text, std::string_view oldText, std::string_view newText) {
    if (oldText.empty()) {
        return 0;
    }
    std::string result;
    int replaced = 0;
    std::size_t from = 0;
    for (std::size_t at = text.find(oldText); at != std::string::npos; at = text.find(oldText, from)) {
        result.append(text, from, at - from);
        result.append(newText);
        from = at + oldText.size();
        ++replaced;
    }
    if (replaced > 0) {
        result.append(text, from);
        text = std::move(result);
    }
    return replaced;
}

std::ptrdiff_t TorrcFile::LineEnd(const std::string& text, std::ptrdiff_t position) {
    std::size_t end = text.find_first_of("\r\n", static_cast<std::size_t>(std::max<std::ptrdiff_t>(position, 0)));
    return static_cast<std::ptrdiff_t>(end == std::string::npos ? text.size() : end);
}

std::ptrdiff_t TorrcFile::FindOptionLine(const std::string& text, std::string_view optionName, std::ptrdiff_t start) {
    if (start < 0 || static_cast<std::size_t>(start) > text.size() || optionName.empty()) {
        return kNotFound;
    }
    std::size_t line = static_cast<std::size_t>(start);
    if (line > 0 && text[line - 1] != '\n') {
        // Inside a line: the search begins with the next one.
        std::size_t lf = text.find('\n', line);
        if (lf == std::string::npos) {
            return kNotFound;
        }
        line = lf + 1;
    }
    while (line < text.size()) {
        std::size_t name = SkipBlanks(text, line);
        std::size_t after = name + optionName.size();
        if (text.compare(name, optionName.size(), optionName) == 0 &&
            (after == text.size() || IsWhiteSpace(text[after]))) {
            return static_cast<std::ptrdiff_t>(line);
        }
        std::size_t lf = text.find('\n', line);
        if (lf == std::string::npos) {
            break;
        }
        line = lf + 1;
    }
    return kNotFound;
}

std::ptrdiff_t TorrcFile::FindStrictExitLine(const std::string& text) {
    constexpr std::string_view kName = "StrictExitNodes";
    for (std::ptrdiff_t line = FindOptionLine(text, kName); line != kNotFound;
         line = FindOptionLine(text, kName, LineEnd(text, line))) {
        std::size_t value = SkipBlanks(text, SkipBlanks(text, static_cast<std::size_t>(line)) + kName.size());
        if (value < text.size() && text[value] == '1' &&
            SkipBlanks(text, value + 1) == static_cast<std::size_t>(LineEnd(text, line))) {
            return line;
        }
    }
    return kNotFound;
}

void TorrcFile::RemoveExitCountry(std::string& text) {
    std::ptrdiff_t strict = FindStrictExitLine(text);
    if (strict != kNotFound) {
        std::ptrdiff_t end = LineEnd(text, strict);
        Delete(text, strict,
               end - strict + static_cast<std::ptrdiff_t>(LineBreakLength(text, static_cast<std::size_t>(end))));
    }
    std::ptrdiff_t exitNodes = FindOptionLine(text, "ExitNodes");
    if (exitNodes != kNotFound) {
        // The line break stays: an empty line is left where the option stood.
        Delete(text, exitNodes, LineEnd(text, exitNodes) - exitNodes);
    }
}

void TorrcFile::TrimTail(std::string& text) {
    std::size_t passes = 0;
    for (;;) {
        std::size_t lastLf = text.rfind('\n');
        // Without a line feed that has a character two places before it, there is no line end to cut at.
        if (lastLf == std::string::npos || lastLf < 2) {
            return;
        }
        if (IsAsciiLetterOrDigit(text[lastLf - 2])) {
            text.erase(lastLf + 1);
            return;
        }
        text.erase(lastLf);
        ++passes;
        if (passes >= text.size()) {
            return;
        }
    }
}

void TorrcFile::EnsureFlagLine(std::string& text, std::string_view optionName, std::string_view wantedLine,
                               std::string_view otherLine) {
    if (Find(text, wantedLine) != kNotFound) {
        return;
    }
    if (Find(text, otherLine) != kNotFound) {
        Replace(text, otherLine, wantedLine);
    } else if (Find(text, optionName) != kNotFound) {
        Replace(text, optionName, wantedLine);
    } else {
        Append(text, "\n");
        Append(text, wantedLine);
    }
}

void TorrcFile::SetNumber(std::string& text, std::string_view optionName, std::string_view value,
                          bool appendWhenMissing) {
    std::ptrdiff_t at = Find(text, optionName);
    if (at == kNotFound) {
        if (appendWhenMissing) {
            Append(text, "\n");
            Append(text, optionName);
            Append(text, " ");
            Append(text, value);
        }
        return;
    }
    // The old value: the digits after the name up to the first white space that follows a digit. The end of
    // the text ends it too.
    std::string oldValue;
    for (std::size_t i = static_cast<std::size_t>(at) + optionName.size(); i < text.size(); ++i) {
        char c = text[i];
        if (IsDigit(c)) {
            oldValue.push_back(c);
        } else if (IsWhiteSpace(c) && !oldValue.empty()) {
            break;
        }
    }
    if (oldValue.empty()) {
        return;
    }
    std::string name(optionName);
    Replace(text, name + " " + oldValue, name + " " + std::string(value));
}

bool TorrcFile::SetSocksPort(std::string& text, std::string_view port) {
    constexpr std::string_view kName = "SocksPort";
    std::ptrdiff_t line = FindOptionLine(text, kName);
    if (line == kNotFound) {
        return false;
    }
    std::size_t value = SkipBlanks(text, SkipBlanks(text, static_cast<std::size_t>(line)) + kName.size());
    std::size_t valueEnd = value;
    while (valueEnd < text.size() && !IsWhiteSpace(text[valueEnd]) && text[valueEnd] != '#') {
        ++valueEnd;
    }
    // "9050", "127.0.0.1:9050" or "[::1]:9050"; "auto" and "unix:/path" name no port.
    std::size_t colon = std::string_view(text).substr(value, valueEnd - value).rfind(':');
    std::size_t portStart = colon == std::string_view::npos ? value : value + colon + 1;
    if (portStart == valueEnd || !std::all_of(text.begin() + static_cast<std::ptrdiff_t>(portStart),
                                              text.begin() + static_cast<std::ptrdiff_t>(valueEnd), IsDigit)) {
        return false;
    }
    text.replace(portStart, valueEnd - portStart, port);
    return true;
}

void ShowMissingTorrcMessage(Ui& ui, const LanguageFile& language, MessageOwner owner) {
    ui.ShowMessage(kMessageCaption,
                   language.GetText("No Tor configuration file found! Settings have not been saved. Please "
                                    "reinstall the program.",
                                    "Messages", "No Tor configuration file"),
                   MessageIcon::Error, MessageButtons::Ok, owner);
}

void ShowTorrcNotWrittenMessage(Ui& ui, const LanguageFile& language, MessageOwner owner) {
    ui.ShowMessage(kMessageCaption,
                   language.GetText("The Tor configuration file could not be written! Tor settings have not been "
                                    "changed.",
                                    "Messages", "Tor configuration file not written"),
                   MessageIcon::Error, MessageButtons::Ok, owner);
}

void ShowTorrcCycleFailure(Ui& ui, const LanguageFile& language, MessageOwner owner, TorrcCycle cycle) {
    if (cycle == TorrcCycle::Missing) {
        ShowMissingTorrcMessage(ui, language, owner);
    } else if (cycle == TorrcCycle::NotWritten) {
        ShowTorrcNotWrittenMessage(ui, language, owner);
    }
}

} // namespace quorvel

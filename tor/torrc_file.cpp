#include "tor/torrc_file.h"

#include "app/language_file.h"
#include "app/locations.h"
#include "app/text_file.h"

#include <algorithm>

namespace quorvel {

namespace {

bool IsAsciiLetterOrDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

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

void TorrcFile::RemoveExitCountry(std::string& text) {
    constexpr std::string_view kStrictLine = "StrictExitNodes 1\r\n";
    std::ptrdiff_t strict = Find(text, kStrictLine);
    if (strict != kNotFound) {
        Delete(text, strict, static_cast<std::ptrdiff_t>(kStrictLine.size()));
    }
    std::ptrdiff_t exitNodes = Find(text, "ExitNodes");
    if (exitNodes != kNotFound) {
        // The line end stays: an empty line is left where the option stood.
        std::ptrdiff_t lineEnd = Find(text, "\r\n", exitNodes + 1);
        if (lineEnd != kNotFound) {
            Delete(text, exitNodes, lineEnd - exitNodes);
        }
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
        if (c >= '0' && c <= '9') {
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

void ShowMissingTorrcMessage(Ui& ui, const LanguageFile& language, MessageOwner owner) {
    ui.ShowMessage(kMessageCaption,
                   language.GetText("No Tor configuration file found! Settings have not been saved. Please "
                                    "reinstall the program.",
                                    "Messages", "No Tor configuration file"),
                   MessageIcon::Error, MessageButtons::Ok, owner);
}

} // namespace quorvel

#include "masking/mozilla_identity.h"

#include "app/text_file.h"
#include "masking/pref_lines.h"
#include "platform/paths.h"

namespace quorvel {

namespace {

std::string UserJs(const std::string& folder) {
    return JoinPath(folder, "user.js");
}
std::string PrefsJs(const std::string& folder) {
    return JoinPath(folder, "prefs.js");
}

void EditUserJs(const std::string& folder, const std::string& prefName, PrefLineEdit edit) {
    edit.createFile = true;
    EditPrefLine(UserJs(folder), PrefPrefix(prefName), edit);
}

bool BeginsWithLetter(const std::string& text) {
    return !text.empty() && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

} // namespace

void ApplyMozillaUserAgent(const std::string& profileFolder, MaskMode mode, const std::string& userAgent) {
    const std::string line = PrefLine(kUserAgentPref, mode == MaskMode::Masked ? userAgent : std::string());
    switch (mode) {
    case MaskMode::Masked:
        EditUserJs(profileFolder, kUserAgentPref, PrefLineEdit::ReplaceOrAppend(line + "\n", line + "\n"));
        break;
    case MaskMode::Invisible:
        EditUserJs(profileFolder, kUserAgentPref, PrefLineEdit::ReplaceOrAppend("\n" + line, "\n" + line + "\n"));
        break;
    case MaskMode::Default:
        // The browser copies user.js values into prefs.js, so the line must go from both.
        EditUserJs(profileFolder, kUserAgentPref, PrefLineEdit::Delete());
        EditPrefLine(PrefsJs(profileFolder), PrefPrefix(kUserAgentPref), PrefLineEdit::Delete());
        break;
    }
}

void ApplyMozillaLanguage(const std::string& profileFolder, MaskMode mode, const std::string& languageCode,
                          const std::string& backup) {
    const std::string line = PrefLine(kAcceptLanguagesPref, mode == MaskMode::Masked ? languageCode : std::string());
    switch (mode) {
    case MaskMode::Masked:
        EditUserJs(profileFolder, kAcceptLanguagesPref, PrefLineEdit::ReplaceOrAppend(line, "\n" + line + "\n"));
        break;
    case MaskMode::Invisible:
        EditUserJs(profileFolder, kAcceptLanguagesPref, PrefLineEdit::ReplaceOrAppend(line, "\n" + line));
        break;
    case MaskMode::Default:
        EditUserJs(profileFolder, kAcceptLanguagesPref,
                   BeginsWithLetter(backup) ? PrefLineEdit::DeleteOrRestore(backup) : PrefLineEdit::Delete());
        break;
    }
}

std::optional<std::string> FindMozillaLanguageLine(const std::string& profileFolder) {
    CTextFileRead reader(PrefsJs(profileFolder));
    std::string text;
    if (!reader.IsOpen() || !reader.Read(text, "\r\n")) {
        return std::nullopt;
    }
    const std::size_t start = text.find(PrefPrefix(kAcceptLanguagesPref));
    if (start == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t end = text.find(");", start);
    if (end == std::string::npos) {
        return std::nullopt;
    }
    std::string line = text.substr(start, end + 2 - start);
    if (line.find_first_of("\r\n") != std::string::npos) {
        return std::nullopt;
    }
    return line;
}

} // namespace quorvel

#pragma once

#include <optional>
#include <string>

namespace quorvel {

// How much of the user's real identity a browser shows; also the index of the radio button on the page.
enum class MaskMode { Default = 0, Invisible = 1, Masked = 2 };

// A stored integer as a mode; anything out of range counts as Default.
MaskMode MaskModeFromInt(int value);

// What the user chose to show the web about their software and language.
struct IdentityChoice {
    MaskMode agentMode = MaskMode::Default;
    MaskMode languageMode = MaskMode::Default;
    std::string os;        // "Windows", "Linux", "Mac" (or whatever was typed)
    std::string osVersion; // empty under Linux
    std::string browser;
    std::string browserVersion; // "6", "1.5", ...
    std::string falseLanguage;  // one entry of the language list, e.g. "English (en)"
};

// The strings written into the browsers for a choice.
struct IdentityStrings {
    std::string userAgent;       // "default", empty, or the masked user-agent
    std::string ieVersionPiece;  // Internet Explorer's "Version" value (masked only)
    std::string iePlatformPiece; // Internet Explorer's "Platform" value (masked only)
    // "default", empty, or the two-letter code; nothing when the masked language text holds no code.
    std::optional<std::string> languageValue;
};

// The sum of the UTF-16 code units of a name. Names are matched through it, so a typed name with the same sum
// as a listed one stands for that one.
int NameSum(const std::string& name);

// The two-letter code of a language entry: the character after the first "(" and the one before the first ")"
// ("English (en)" gives "en"); without "(" the text's first character stands in for the first. Nothing when the
// text holds no ")" or the characters are missing.
std::optional<std::string> DeriveLanguageCode(const std::string& text);

// The user-agent string, its two Internet Explorer pieces and the language value for a choice. A masked choice
// with an empty operating system is taken as Internet Explorer 4 on Windows 95; a combination the table does not
// know gives three empty strings.
IdentityStrings BuildIdentityStrings(const IdentityChoice& choice);

} // namespace quorvel

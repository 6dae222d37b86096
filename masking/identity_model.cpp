#include "masking/identity_model.h"

#include "masking/user_agent_table.h"

#include <cstdint>

namespace quorvel {

namespace {

// Length of the UTF-8 sequence that starts at `pos`; a byte that starts no valid sequence counts alone.
std::size_t SequenceLength(const std::string& text, std::size_t pos, char32_t* codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
    } else {
        *codePoint = 0xFFFD;
        return 1;
    }
    if (pos + length > text.size()) {
        *codePoint = 0xFFFD;
        return 1;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            *codePoint = 0xFFFD;
            return 1;
        }
        value = (value << 6) | (byte(pos + i) & 0x3F);
    }
    *codePoint = value;
    return length;
}

// The whole character that ends just before `end` (which is > 0).
std::string CharacterBefore(const std::string& text, std::size_t end) {
    std::size_t start = end - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80 && end - start < 4) {
        --start;
    }
    char32_t ignored = 0;
    if (start + SequenceLength(text, start, &ignored) != end) {
        start = end - 1; // not one well-formed character: take the byte alone
    }
    return text.substr(start, end - start);
}

std::string CharacterAt(const std::string& text, std::size_t pos) {
    char32_t ignored = 0;
    return text.substr(pos, SequenceLength(text, pos, &ignored));
}

} // namespace

MaskMode MaskModeFromInt(int value) {
    switch (value) {
    case 1:
        return MaskMode::Invisible;
    case 2:
        return MaskMode::Masked;
    default:
        return MaskMode::Default;
    }
}

int NameSum(const std::string& name) {
    int sum = 0;
    for (std::size_t pos = 0; pos < name.size();) {
        char32_t codePoint = 0;
        pos += SequenceLength(name, pos, &codePoint);
        if (codePoint >= 0x10000) {
            const char32_t offset = codePoint - 0x10000;
            sum += static_cast<int>(0xD800 + (offset >> 10)) + static_cast<int>(0xDC00 + (offset & 0x3FF));
        } else {
            sum += static_cast<int>(codePoint);
        }
    }
    return sum;
}

std::optional<std::string> DeriveLanguageCode(const std::string& text) {
    const std::size_t close = text.find(')');
    if (close == std::string::npos || close == 0) {
        return std::nullopt;
    }
    const std::size_t open = text.find('(');
    std::string first;
    if (open == std::string::npos) {
        first = CharacterAt(text, 0);
    } else if (open + 1 < text.size()) {
        first = CharacterAt(text, open + 1);
    } else {
        return std::nullopt;
    }
    return first + CharacterBefore(text, close);
}

IdentityStrings BuildIdentityStrings(const IdentityChoice& choice) {
    IdentityStrings strings;
    switch (choice.agentMode) {
    case MaskMode::Default:
        strings.userAgent = "default";
        break;
    case MaskMode::Invisible:
        break;
    case MaskMode::Masked: {
        IdentityChoice effective = choice;
        if (effective.os.find_first_not_of(' ') == std::string::npos) {
            effective.os = "Windows";
            effective.osVersion = "95";
            effective.browser = "Internet Explorer";
            effective.browserVersion = "4";
        }
        if (const UserAgentRow* row =
                FindUserAgentRow(effective.os, effective.osVersion, effective.browser, effective.browserVersion)) {
            strings.userAgent = row->userAgent.Build(effective.browserVersion);
            strings.ieVersionPiece = row->ieVersionPiece.Build(effective.browserVersion);
            strings.iePlatformPiece = row->iePlatformPiece.Build(effective.browserVersion);
        }
        break;
    }
    }
    switch (choice.languageMode) {
    case MaskMode::Default:
        strings.languageValue = "default";
        break;
    case MaskMode::Invisible:
        strings.languageValue = "";
        break;
    case MaskMode::Masked:
        strings.languageValue = DeriveLanguageCode(choice.falseLanguage);
        break;
    }
    return strings;
}

} // namespace quorvel

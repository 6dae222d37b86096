#include "platform/internet_options.h"

#include "platform/utf8.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace quorvel {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at `i`, advancing it; a malformed sequence gives the replacement character.
char32_t NextCodePoint(const std::string& text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) {
        return lead;
    }
    int more = 0;
    char32_t c = 0;
    if ((lead & 0xE0) == 0xC0) {
        more = 1;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        more = 2;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        more = 3;
        c = lead & 0x07;
    } else {
        return kReplacement;
    }
    for (int k = 0; k < more; ++k) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            return kReplacement;
        }
        c = (c << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    return c > 0x10FFFF ? kReplacement : c;
}

} // namespace

std::string DialUpEntryNameText(const DialUpEntryName& entry) {
    const std::size_t capacity = std::size(entry.entryName);
    std::string out;
    for (std::size_t i = 0; i < capacity && entry.entryName[i] != 0; ++i) {
        char32_t c = entry.entryName[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < capacity && entry.entryName[i + 1] >= 0xDC00 &&
            entry.entryName[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (entry.entryName[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

void SetDialUpEntryNameText(DialUpEntryName& entry, const std::string& name) {
    const std::size_t limit = std::size(entry.entryName) - 1;
    std::size_t n = 0;
    for (std::size_t i = 0; i < name.size();) {
        const char32_t c = NextCodePoint(name, i);
        if (c >= 0x10000) {
            if (n + 2 > limit) {
                break;
            }
            entry.entryName[n++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            entry.entryName[n++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            if (n + 1 > limit) {
                break;
            }
            entry.entryName[n++] = static_cast<char16_t>(c);
        }
    }
    std::fill(entry.entryName + n, entry.entryName + std::size(entry.entryName), u'\0');
}

} // namespace quorvel

#include "platform/private_profile.h"

#include "platform/atomic_file.h"
#include "platform/code_page.h"
#include "platform/utf8.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>

namespace quorvel::private_profile {

namespace {

// Writers read, change and replace the whole file; two threads doing that at once would lose one change.
std::mutex g_writeMutex;

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// Ansi: no mark, and the system code page is not UTF-8 (Windows); lines are converted on reading and writing.
enum class Encoding { Utf8, Ansi, Utf16Le, Utf16Be };

// One line as it is on disk and as text. Untouched lines are written back from `raw`, byte for byte.
struct Line {
    std::string raw;  // bytes in the file's encoding, line break included
    std::string text; // UTF-8, without the line break
    bool terminated = false;
};

// What a file without a mark is in, and what a new file is written in.
Encoding SystemEncoding() {
    return code_page::IsUtf8() ? Encoding::Utf8 : Encoding::Ansi;
}

struct Document {
    Encoding encoding = SystemEncoding();
    std::string mark;           // the byte-order mark found, written back as it was
    std::string newline = "\n"; // the file's own line break, used for lines we add
    std::vector<Line> lines;
    std::string trailingByte; // an odd last byte of a UTF-16 file
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string name;  // section or key name, trimmed
    std::string value; // key value, as written after '='
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

ParsedLine Parse(const std::string& text) {
    ParsedLine parsed;
    const std::string line = Trim(text);
    if (line.empty() || line[0] == ';' || line[0] == '#') {
        return parsed;
    }
    if (line[0] == '[') {
        const auto close = line.find(']');
        if (close != std::string::npos) {
            parsed.kind = LineKind::Section;
            parsed.name = Trim(line.substr(1, close - 1));
        }
        return parsed;
    }
    const auto equals = line.find('=');
    if (equals != std::string::npos && equals > 0) {
        parsed.kind = LineKind::Key;
        parsed.name = Trim(line.substr(0, equals));
        parsed.value = line.substr(equals + 1);
    }
    return parsed;
}

// Decodes one UTF-8 sequence at `i`: its length, or 0 when the byte does not start a valid sequence.
std::size_t SequenceLength(const std::string& s, std::size_t i, char32_t* codePoint = nullptr) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        length = 1;
        cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(s[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    if (codePoint != nullptr) {
        *codePoint = cp;
    }
    return length;
}

// Names are compared without regard to case: ASCII, Latin-1, Greek and Cyrillic letters; other text as is.
char32_t FoldLetter(char32_t cp) {
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) || (cp >= 0x391 && cp <= 0x3AB) ||
        (cp >= 0x410 && cp <= 0x42F)) {
        return cp + 0x20;
    }
    if (cp >= 0x400 && cp <= 0x40F) {
        return cp + 0x50;
    }
    return cp;
}

std::string Fold(const std::string& name) {
    std::string folded;
    folded.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        char32_t cp = 0;
        const std::size_t length = SequenceLength(name, i, &cp);
        if (length == 0) {
            folded += name[i++];
            continue;
        }
        AppendUtf8(folded, FoldLetter(cp));
        i += length;
    }
    return folded;
}

bool SameName(const std::string& a, const std::string& b) {
    return a == b || Fold(a) == Fold(b);
}

// At most `bufferChars` - 1 UTF-16 units, never splitting a character.
std::string Cut(const std::string& text, std::size_t bufferChars) {
    if (bufferChars == 0) {
        return {};
    }
    const std::size_t limit = bufferChars - 1;
    std::size_t units = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = SequenceLength(text, i);
        const std::size_t need = length == 4 ? 2 : 1;
        if (units + need > limit) {
            break;
        }
        units += need;
        i += length == 0 ? 1 : length;
    }
    return text.substr(0, i);
}

std::string Unquote(const std::string& value) {
    std::string trimmed = Trim(value);
    if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"') {
        return trimmed.substr(1, trimmed.size() - 2);
    }
    return trimmed;
}

// --- UTF-16 files ------------------------------------------------------------------------------------------

char16_t UnitAt(const std::string& bytes, std::size_t offset, Encoding encoding) {
    const auto b0 = static_cast<unsigned char>(bytes[offset]);
    const auto b1 = static_cast<unsigned char>(bytes[offset + 1]);
    return encoding == Encoding::Utf16Le ? static_cast<char16_t>(b1 << 8 | b0) : static_cast<char16_t>(b0 << 8 | b1);
}

std::string DecodeUtf16(const std::string& bytes, std::size_t begin, std::size_t end, Encoding encoding) {
    std::string out;
    for (std::size_t i = begin; i + 1 < end; i += 2) {
        char32_t cp = UnitAt(bytes, i, encoding);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < end) {
            const char16_t low = UnitAt(bytes, i + 2, encoding);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(out, cp >= 0xD800 && cp <= 0xDFFF ? U'\uFFFD' : cp);
    }
    return out;
}

std::string EncodeUtf16(const std::string& text, Encoding encoding) {
    std::string out;
    auto put = [&](char32_t unit) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        out += encoding == Encoding::Utf16Le ? low : high;
        out += encoding == Encoding::Utf16Le ? high : low;
    };
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0xFFFD;
        const std::size_t length = SequenceLength(text, i, &cp);
        i += length == 0 ? 1 : length;
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

// --- the document ------------------------------------------------------------------------------------------

std::string Encode(const Document& doc, const std::string& text) {
    bool lost = false;
    switch (doc.encoding) {
    case Encoding::Utf8:
        return text;
    case Encoding::Ansi:
        return code_page::FromUtf8(text, lost);
    default:
        return EncodeUtf16(text, doc.encoding);
    }
}

Document Split(const std::string& bytes) {
    Document doc;
    std::size_t start = 0;
    if (bytes.rfind(kUtf8Mark, 0) == 0) {
        doc.encoding = Encoding::Utf8;
        doc.mark = kUtf8Mark;
    } else if (bytes.rfind("\xFF\xFE", 0) == 0) {
        doc.encoding = Encoding::Utf16Le;
        doc.mark = "\xFF\xFE";
    } else if (bytes.rfind("\xFE\xFF", 0) == 0) {
        doc.encoding = Encoding::Utf16Be;
        doc.mark = "\xFE\xFF";
    }
    start = doc.mark.size();
    const std::size_t width = doc.encoding == Encoding::Utf8 || doc.encoding == Encoding::Ansi ? 1 : 2;
    const std::size_t end = start + (bytes.size() - start) / width * width;
    auto unit = [&](std::size_t offset) -> char32_t {
        return width == 1 ? static_cast<unsigned char>(bytes[offset]) : UnitAt(bytes, offset, doc.encoding);
    };
    bool newlineKnown = false;
    std::size_t lineStart = start;
    while (lineStart < end) {
        std::size_t pos = lineStart;
        while (pos < end && unit(pos) != '\r' && unit(pos) != '\n') {
            pos += width;
        }
        std::size_t next = pos;
        std::string newline;
        if (pos < end) {
            newline = unit(pos) == '\r' ? "\r" : "\n";
            next += width;
            if (newline == "\r" && next < end && unit(next) == '\n') {
                newline = "\r\n";
                next += width;
            }
        }
        Line line;
        line.raw = bytes.substr(lineStart, next - lineStart);
        if (doc.encoding == Encoding::Utf8) {
            line.text = bytes.substr(lineStart, pos - lineStart);
        } else if (doc.encoding == Encoding::Ansi) {
            line.text = code_page::ToUtf8(std::string_view(bytes).substr(lineStart, pos - lineStart));
        } else {
            line.text = DecodeUtf16(bytes, lineStart, pos, doc.encoding);
        }
        line.terminated = !newline.empty();
        if (line.terminated && !newlineKnown) {
            doc.newline = newline;
            newlineKnown = true;
        }
        doc.lines.push_back(std::move(line));
        lineStart = next;
    }
    doc.trailingByte = bytes.substr(end);
    return doc;
}

enum class LoadResult { Loaded, Missing, Failed };

LoadResult Load(const std::string& file, Document& doc) {
    if (file.find('\0') != std::string::npos) {
        return LoadResult::Failed;
    }
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return LoadResult::Missing;
    }
    if (error || !std::filesystem::is_regular_file(status)) {
        return LoadResult::Failed;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) {
        return LoadResult::Failed;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return LoadResult::Failed;
    }
    doc = Split(bytes);
    return LoadResult::Loaded;
}

bool Save(const std::string& file, const Document& doc) {
    AtomicFile out(file);
    bool ok = out.IsOpen() && out.Write(doc.mark);
    for (const Line& line : doc.lines) {
        ok = ok && out.Write(line.raw);
    }
    ok = ok && out.Write(doc.trailingByte);
    return ok && out.Commit();
}

// Index of the first section header with this name.
std::optional<std::size_t> FindSection(const Document& doc, const std::string& section) {
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const ParsedLine parsed = Parse(doc.lines[i].text);
        if (parsed.kind == LineKind::Section && SameName(parsed.name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

// The end of the section that starts at `header`: the next section header or the end of the file.
std::size_t SectionEnd(const Document& doc, std::size_t header) {
    std::size_t i = header + 1;
    while (i < doc.lines.size() && Parse(doc.lines[i].text).kind != LineKind::Section) {
        ++i;
    }
    return i;
}

std::optional<std::size_t> FindKey(const Document& doc, std::size_t header, const std::string& key) {
    const std::size_t end = SectionEnd(doc, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const ParsedLine parsed = Parse(doc.lines[i].text);
        if (parsed.kind == LineKind::Key && SameName(parsed.name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

Line MakeLine(const Document& doc, const std::string& text) {
    return Line{Encode(doc, text + doc.newline), text, true};
}

// Inserts a new line before `index`, first ending the line before it when the file had no final line break.
void InsertLine(Document& doc, std::size_t index, const std::string& text) {
    if (index > 0 && !doc.lines[index - 1].terminated) {
        doc.lines[index - 1].raw += Encode(doc, doc.newline);
        doc.lines[index - 1].terminated = true;
    }
    doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(index), MakeLine(doc, text));
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// Names that would not read back as written are refused rather than written into the file.
bool ValidNames(const std::string& section, const std::string& key) {
    if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key)) {
        return false;
    }
    if (section.find(']') != std::string::npos || key.find('=') != std::string::npos) {
        return false;
    }
    return key[0] != '[' && key[0] != ';' && key[0] != '#';
}

} // namespace

std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& defaultValue, std::size_t bufferChars) {
    Document doc;
    if (Load(file, doc) == LoadResult::Loaded) {
        if (const auto header = FindSection(doc, Trim(section))) {
            if (const auto line = FindKey(doc, *header, Trim(key))) {
                return Cut(Unquote(Parse(doc.lines[*line].text).value), bufferChars);
            }
        }
    }
    return Cut(defaultValue, bufferChars);
}

bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value) {
    const std::string sectionName = Trim(section);
    const std::string keyName = Trim(key);
    // A line break in a value would end up as lines of its own, possibly read as other keys or sections.
    if (!ValidNames(sectionName, keyName) || HasLineBreak(value)) {
        return false;
    }
    std::lock_guard lock(g_writeMutex);
    Document doc;
    if (Load(file, doc) == LoadResult::Failed) {
        return false;
    }
    if (const auto header = FindSection(doc, sectionName)) {
        if (const auto found = FindKey(doc, *header, keyName)) {
            // The key keeps the spelling it has in the file.
            Line& line = doc.lines[*found];
            const Line replaced = MakeLine(doc, Parse(line.text).name + "=" + value);
            line.raw = line.terminated ? replaced.raw : Encode(doc, replaced.text);
            line.text = replaced.text;
        } else {
            // After the section's last key, so blank lines and comments before the next section stay there.
            const std::size_t end = SectionEnd(doc, *header);
            std::size_t at = *header + 1;
            for (std::size_t i = *header + 1; i < end; ++i) {
                if (Parse(doc.lines[i].text).kind == LineKind::Key) {
                    at = i + 1;
                }
            }
            InsertLine(doc, at, keyName + "=" + value);
        }
    } else {
        if (!doc.lines.empty() && !Trim(doc.lines.back().text).empty()) {
            InsertLine(doc, doc.lines.size(), "");
        }
        InsertLine(doc, doc.lines.size(), "[" + sectionName + "]");
        InsertLine(doc, doc.lines.size(), keyName + "=" + value);
    }
    return Save(file, doc);
}

bool DeleteKey(const std::string& file, const std::string& section, const std::string& key) {
    std::lock_guard lock(g_writeMutex);
    Document doc;
    const LoadResult loaded = Load(file, doc);
    if (loaded != LoadResult::Loaded) {
        return loaded == LoadResult::Missing;
    }
    const auto header = FindSection(doc, Trim(section));
    const auto found = header ? FindKey(doc, *header, Trim(key)) : std::nullopt;
    if (!found) {
        return true;
    }
    doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(*found));
    return Save(file, doc);
}

std::vector<std::string> SectionNames(const std::string& file) {
    std::vector<std::string> names;
    Document doc;
    if (Load(file, doc) != LoadResult::Loaded) {
        return names;
    }
    for (const Line& line : doc.lines) {
        const ParsedLine parsed = Parse(line.text);
        if (parsed.kind != LineKind::Section) {
            continue;
        }
        // A repeated section is the same section: only its first header counts.
        bool seen = false;
        for (const std::string& name : names) {
            seen = seen || SameName(name, parsed.name);
        }
        if (!seen) {
            names.push_back(parsed.name);
        }
    }
    return names;
}

} // namespace quorvel::private_profile

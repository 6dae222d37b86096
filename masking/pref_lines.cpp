#include "masking/pref_lines.h"

#include "app/text_file.h"
#include "platform/file_path.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

namespace quorvel {

namespace {

constexpr const char* kLineEnd = ");";

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

std::size_t SkipBlanks(const std::string& text, std::size_t pos, std::size_t end) {
    while (pos < end && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    return pos;
}

// Where the line that starts with `prefix` at `start` ends: after the ");" that closes its value, on the same line.
// A quoted value is passed over whole, so a ");" inside it does not count; nothing when the line is not closed.
std::optional<std::size_t> OldLineEnd(const std::string& text, std::size_t start, std::size_t prefixSize) {
    const std::size_t lineEnd = std::min(text.find_first_of("\r\n", start), text.size());
    std::size_t pos = text.find('"', start + prefixSize); // the end of the name
    if (pos >= lineEnd) {
        return std::nullopt;
    }
    pos = SkipBlanks(text, pos + 1, lineEnd);
    if (pos >= lineEnd || text[pos] != ',') {
        return std::nullopt;
    }
    pos = SkipBlanks(text, pos + 1, lineEnd);
    if (pos < lineEnd && text[pos] == '"') {
        for (++pos; pos < lineEnd && text[pos] != '"'; ++pos) {
            if (text[pos] == '\\') {
                ++pos;
            }
        }
        if (pos >= lineEnd) {
            return std::nullopt;
        }
        pos = SkipBlanks(text, pos + 1, lineEnd);
        if (pos >= lineEnd || text[pos] != ')') {
            return std::nullopt;
        }
        pos = SkipBlanks(text, pos + 1, lineEnd);
        return pos < lineEnd && text[pos] == ';' ? std::optional<std::size_t>(pos + 1) : std::nullopt;
    }
    const std::size_t close = text.find(kLineEnd, pos);
    return close != std::string::npos && close + 2 <= lineEnd ? std::optional<std::size_t>(close + 2) : std::nullopt;
}

// Puts `replacement` in place of every copy of `oldLine`. Its leading and trailing line breaks are there to give
// it a line of its own: they are left out where the old line already has its own line, so that repeating an edit
// adds no blank lines.
std::string ReplaceLines(const std::string& text, const std::string& oldLine, const std::string& replacement) {
    const std::size_t first = replacement.find_first_not_of("\r\n");
    const std::string core = first == std::string::npos
                                 ? std::string()
                                 : replacement.substr(first, replacement.find_last_not_of("\r\n") + 1 - first);
    const std::string before = replacement.substr(0, first == std::string::npos ? 0 : first);
    const std::string after = replacement.substr(before.size() + core.size());
    std::string result;
    std::size_t start = 0;
    for (std::size_t pos = text.find(oldLine); pos != std::string::npos; pos = text.find(oldLine, start)) {
        const std::size_t end = pos + oldLine.size();
        result.append(text, start, pos - start);
        if (first == std::string::npos) {
            result += replacement;
        } else {
            if (pos > 0 && !IsLineBreak(text[pos - 1])) {
                result += before;
            }
            result += core;
            if (end == text.size() || !IsLineBreak(text[end])) {
                result += after;
            }
        }
        start = end;
    }
    return result.append(text, start, std::string::npos);
}

bool WriteWhole(const std::string& file, const std::string& text) {
    CTextFileWrite writer(file);
    if (!writer.IsOpen()) {
        return false;
    }
    writer.Write(text);
    return writer.Close();
}

} // namespace

std::string PrefPrefix(const std::string& name) {
    return "user_pref(\"" + name;
}

std::string PrefLine(const std::string& name, const std::string& value) {
    return PrefPrefix(name) + "\", \"" + value + "\"" + kLineEnd;
}

bool FitsInPrefValue(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\' || c == ')' || c == ';' || byte < 0x20 || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

PrefLineEdit PrefLineEdit::ReplaceOrAppend(std::string replacement, std::string appended) {
    PrefLineEdit edit;
    edit.action = Action::ReplaceOrAppend;
    edit.replacement = std::move(replacement);
    edit.appended = std::move(appended);
    return edit;
}

PrefLineEdit PrefLineEdit::Delete() {
    return PrefLineEdit{};
}

PrefLineEdit PrefLineEdit::DeleteOrRestore(std::string backup) {
    PrefLineEdit edit;
    edit.replacement = std::move(backup);
    return edit;
}

PrefEditResult EditPrefLine(const std::string& file, const std::string& prefix, const PrefLineEdit& edit) {
    std::error_code error;
    const bool exists = std::filesystem::exists(FilePath(file), error);
    if (error) {
        return PrefEditResult::NoFile;
    }
    std::string text;
    if (exists) {
        CTextFileRead reader(file);
        if (!reader.IsOpen() || !reader.Read(text, "\r\n")) {
            // An existing file that cannot be read is never replaced: its content would be lost.
            return PrefEditResult::NoFile;
        }
        reader.Close();
    } else if (!edit.createFile) {
        return PrefEditResult::NoFile;
    }

    const std::string original = text;
    PrefEditResult result = PrefEditResult::NotFound;
    const std::size_t start = text.find(prefix);
    if (start != std::string::npos) {
        const std::optional<std::size_t> end = OldLineEnd(text, start, prefix.size());
        if (!end) {
            return PrefEditResult::Unterminated;
        }
        text = ReplaceLines(text, text.substr(start, *end - start), edit.replacement);
        result = PrefEditResult::Replaced;
    } else if (edit.action == PrefLineEdit::Action::ReplaceOrAppend) {
        if (!text.empty() && !IsLineBreak(text.back()) && !edit.appended.empty() &&
            !IsLineBreak(edit.appended.front())) {
            text += "\r\n"; // never inside the last line, which may be a comment
        }
        text += edit.appended;
        result = PrefEditResult::Appended;
    }

    if (exists && text == original) {
        return result;
    }
    return WriteWhole(file, text) ? result : PrefEditResult::WriteFailed;
}

} // namespace quorvel

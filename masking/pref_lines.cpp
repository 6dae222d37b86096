#include "masking/pref_lines.h"

#include "app/text_file.h"
#include "platform/file_path.h"

#include <filesystem>
#include <system_error>

namespace quorvel {

namespace {

constexpr const char* kLineEnd = ");";

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
    std::string result;
    std::size_t start = 0;
    for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, start)) {
        result.append(text, start, pos - start).append(to);
        start = pos + from.size();
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
        const std::size_t end = text.find(kLineEnd, start);
        if (end == std::string::npos) {
            return PrefEditResult::Unterminated;
        }
        const std::string oldLine = text.substr(start, end + 2 - start);
        text = ReplaceAll(text, oldLine, edit.replacement);
        result = PrefEditResult::Replaced;
    } else if (edit.action == PrefLineEdit::Action::ReplaceOrAppend) {
        text += edit.appended;
        result = PrefEditResult::Appended;
    }

    if (exists && text == original) {
        return result;
    }
    return WriteWhole(file, text) ? result : PrefEditResult::WriteFailed;
}

} // namespace quorvel

#pragma once

#include "platform/ui.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace quorvel {

class LanguageFile;
class Paths;

// How an edit cycle of the torrc ended.
enum class TorrcCycle { Saved, Missing, NotWritten };

// Tor's configuration file and the program's edits of it. Every change is one cycle on the whole text: Load,
// change with the literal-search operations and recipes below, Save. The edits are plain text operations, not a
// parse of Tor's option syntax: a literal is found wherever it stands, in a comment or inside a longer name too.
class TorrcFile {
public:
    static constexpr std::ptrdiff_t kNotFound = -1;

    explicit TorrcFile(const Paths& paths) : m_paths(paths) {}

    // Application data + "/tor/torrc", worked out anew at every call.
    std::string Path() const;
    // The whole file, every line break as CR LF. False when the file cannot be opened (`text` is then unchanged).
    bool Load(std::string& text) const;
    // Replaces the file with `text` as it is (no line break added). False when the file cannot be written; the
    // old content is then kept whole.
    bool Save(const std::string& text) const;
    // One whole cycle: Load, `change`, Save, then `saved` for what must change together with the file. Cycles run
    // one at a time in the process: the user-interface thread and the event watcher both rewrite the file, and
    // neither may write back what the other has just removed. Nothing is saved when the file is missing.
    TorrcCycle Edit(const std::function<void(std::string& text)>& change,
                    const std::function<void()>& saved = nullptr) const;

    // The first occurrence of `literal` at or after `start`, compared exactly; kNotFound when there is none.
    static std::ptrdiff_t Find(const std::string& text, std::string_view literal, std::ptrdiff_t start = 0);
    // Removes `count` bytes from `position`, cut at the end of the text.
    static void Delete(std::string& text, std::ptrdiff_t position, std::ptrdiff_t count);
    // Replaces every non-overlapping occurrence, left to right; the number of replacements.
    static int Replace(std::string& text, std::string_view oldText, std::string_view newText);
    static void Append(std::string& text, std::string_view literal) { text.append(literal); }

    // The start of the first line at or after `start` whose option (after any blanks) is exactly `optionName`;
    // kNotFound when there is none. A longer name that ends in it, or a comment, is no match.
    static std::ptrdiff_t FindOptionLine(const std::string& text, std::string_view optionName,
                                         std::ptrdiff_t start = 0);
    // The first "StrictExitNodes 1" line (trailing blanks allowed); kNotFound when there is none.
    static std::ptrdiff_t FindStrictExitLine(const std::string& text);
    // Where the line that holds `position` ends: its line break, or the end of the text.
    static std::ptrdiff_t LineEnd(const std::string& text, std::ptrdiff_t position);

    // Removes the "StrictExitNodes 1" line with its line break, and the first ExitNodes line up to (not including)
    // its line break.
    static void RemoveExitCountry(std::string& text);
    // Removes trailing lines until the text ends in the line break of a line whose last character is a letter or
    // digit. A text without such a break is left as it is.
    static void TrimTail(std::string& text);
    // Makes `optionName` carry the wanted line: kept when present, else the other line or every bare name is
    // turned into it, else it is appended after a bare LF.
    static void EnsureFlagLine(std::string& text, std::string_view optionName, std::string_view wantedLine,
                               std::string_view otherLine);
    // Puts `value` in place of the number that follows the first `optionName`. When the option is missing it is
    // appended after a bare LF if `appendWhenMissing`, else nothing changes.
    static void SetNumber(std::string& text, std::string_view optionName, std::string_view value,
                          bool appendWhenMissing);
    // Puts `port` in place of the port of the first SocksPort line: its whole value when that is a number, the
    // number after the last colon of an address. True when that line now tells Tor to use `port`; false (the
    // text unchanged) when there is no such line or its value names no port.
    static bool SetSocksPort(std::string& text, std::string_view port);

private:
    const Paths& m_paths;
};

// The message shown when the torrc cannot be opened: nothing that depends on it has been saved.
void ShowMissingTorrcMessage(Ui& ui, const LanguageFile& language, MessageOwner owner);
// The message shown when the torrc could be read but not written: Tor's settings are as they were.
void ShowTorrcNotWrittenMessage(Ui& ui, const LanguageFile& language, MessageOwner owner);
// The message for a cycle that did not save; nothing for one that did.
void ShowTorrcCycleFailure(Ui& ui, const LanguageFile& language, MessageOwner owner, TorrcCycle cycle);

} // namespace quorvel

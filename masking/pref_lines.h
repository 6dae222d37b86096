#pragma once

#include <string>

namespace quorvel {

// Preference lines of a Mozilla-family profile: user_pref("name", "value");

// The text a preference is found by: user_pref(, a double quote and the name (without the closing quote).
std::string PrefPrefix(const std::string& name);
// One preference line with a text value, without any line break.
std::string PrefLine(const std::string& name, const std::string& value);

// True when typed text can stand inside a preference's quoted value without ending it early, escaping or
// breaking the line, and without a ");" that would cut the line short for the next edit.
bool FitsInPrefValue(const std::string& text);

// What to do with the first line that starts with a prefix.
struct PrefLineEdit {
    enum class Action { ReplaceOrAppend, Delete };

    Action action = Action::Delete;
    std::string replacement; // put in place of every copy of the old line ("" deletes it)
    std::string appended;    // added at the end when there is no such line (replace-or-append only)
    bool createFile = false; // a missing file is created empty first, instead of being left alone

    static PrefLineEdit ReplaceOrAppend(std::string replacement, std::string appended);
    static PrefLineEdit Delete();
    // Deletes the line, or puts `backup` in its place when it is not empty.
    static PrefLineEdit DeleteOrRestore(std::string backup);
};

enum class PrefEditResult {
    Replaced,     // the old line was replaced (or deleted)
    Appended,     // there was none: the appended text was added
    NotFound,     // there was none and nothing is appended; a file created empty counts here
    Unterminated, // the prefix's line has no ");" closing its value: nothing changed
    NoFile,       // the file is missing (and was not to be created), or cannot be read
    WriteFailed,  // the new text could not be put in place; the old file is intact
};

// Reads the whole file (lines joined by CR LF), finds the first occurrence of `prefix`, takes the old line as the
// text from there through the ");" that closes its value on the same line, applies the edit and writes the whole
// text back atomically. A replacement's own line breaks are added only where the old line lacks them, and
// appended text begins on a new line. A file whose text does not change is not rewritten.
PrefEditResult EditPrefLine(const std::string& file, const std::string& prefix, const PrefLineEdit& edit);

} // namespace quorvel

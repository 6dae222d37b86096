// The preference-line editor on a hostile prefs.js. The input's first line names the preference, the rest is the
// file.
#include "masking/pref_lines.h"
#include "scratch_file.h"

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string name(input.substr(0, newline));
    const std::string_view rest = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
    const std::string file =
        fuzz::ScratchFile("prefs.js", reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size());

    const std::string line = PrefLine(name, FitsInPrefValue(name) ? name : "value");
    EditPrefLine(file, PrefPrefix(name), PrefLineEdit::ReplaceOrAppend(line, line + "\r\n"));
    EditPrefLine(file, PrefPrefix(name), PrefLineEdit::DeleteOrRestore(line));
    EditPrefLine(file, PrefPrefix(name), PrefLineEdit::Delete());
    return 0;
}

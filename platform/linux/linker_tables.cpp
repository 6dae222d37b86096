#include "platform/linux/linker_tables.h"

#include <charconv>

namespace quorvel {

namespace {

std::uintptr_t HexAt(std::string_view text, std::size_t& at) {
    std::uintptr_t value = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), value, 16);
    at = error == std::errc() ? static_cast<std::size_t>(end - text.data()) : text.size();
    return value;
}

// "begin-end perms offset device inode path"; any other line changes nothing.
void ReadMappingLine(std::string_view line, MappedRange& range, bool& candidate) {
    std::size_t at = 0;
    MappedRange read;
    read.begin = HexAt(line, at);
    if (at >= line.size() || line[at] != '-') {
        return;
    }
    ++at;
    read.end = HexAt(line, at);
    if (at + 6 > line.size() || line[at] != ' ') {
        return;
    }
    const std::string_view perms = line.substr(at + 1, 4);
    at += 6;
    const std::uintptr_t offset = HexAt(line, at);
    const std::size_t device = line.find(' ', at + 1);
    if (at >= line.size() || device == std::string_view::npos) {
        return;
    }
    std::uintptr_t inode = 0;
    std::from_chars(line.data() + device + 1, line.data() + line.size(), inode);
    range = read;
    candidate = perms == "r--p" && offset == 0 && inode != 0 && read.end > read.begin;
}

} // namespace

std::vector<MappedRange> UnchangedFileStarts(std::string_view smaps) {
    std::vector<MappedRange> ranges;
    MappedRange range;
    bool candidate = false;
    while (!smaps.empty()) {
        const std::size_t newline = smaps.find('\n');
        const std::string_view line = smaps.substr(0, newline);
        smaps = newline == std::string_view::npos ? std::string_view() : smaps.substr(newline + 1);
        constexpr std::string_view kAnonymous = "Anonymous:";
        if (line.starts_with(kAnonymous)) {
            // A page written since mapping (copied on write) exists only here: releasing it would lose it.
            const std::size_t value = line.find_first_not_of(' ', kAnonymous.size());
            if (candidate && value != std::string_view::npos && line.substr(value) == "0 kB") {
                ranges.push_back(range);
            }
            candidate = false;
        } else {
            ReadMappingLine(line, range, candidate);
        }
    }
    return ranges;
}

} // namespace quorvel

// The INI reader and writer on a hostile file: every section the reader finds is read, written and read back.
#include "platform/private_profile.h"
#include "scratch_file.h"

#include <cstdlib>

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = fuzz::ScratchFile("settings.ini", data, size);
    std::vector<std::string> sections = private_profile::SectionNames(file);
    sections.resize(std::min<std::size_t>(sections.size(), 4));
    sections.push_back("Quorvel");
    for (const auto& section : sections) {
        private_profile::GetString(file, section, "Port", "", 16);
        if (private_profile::WriteString(file, section, "Port", "9051") &&
            private_profile::GetString(file, section, "Port", "", 4096) != "9051") {
            std::abort(); // a value written must read back
        }
        private_profile::DeleteKey(file, section, "Port");
    }
    return 0;
}

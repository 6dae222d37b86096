// The text-file reader and writer: whatever a file reads as, written back it reads as the same text.
#include "app/text_file.h"
#include "scratch_file.h"

#include <cstdlib>

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text;
    {
        CTextFileRead reader(fuzz::ScratchFile("torrc", data, size));
        if (!reader.Read(text, "\r\n")) {
            std::abort();
        }
    }
    const std::string copy = fuzz::ScratchPath("torrc.copy");
    {
        CTextFileWrite writer(copy);
        writer.Write(text);
        if (!writer.Close()) {
            std::abort();
        }
    }
    std::string again;
    CTextFileRead reader(copy);
    if (!reader.Read(again, "\r\n") || again != text) {
        std::abort();
    }
    return 0;
}

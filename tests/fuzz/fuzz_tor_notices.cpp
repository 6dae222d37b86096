// The matcher that the event watcher runs on every line Tor sends.
#include "tor/tor_notices.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvel::ClassifyWatcherLine(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}

#include "platform/url_opener.h"

#include "platform/process_launcher.h"

namespace quorvel {

bool XdgUrlOpener::Open(const std::string& url) {
    // One argument, no shell: whatever the address holds (spaces, ';', "$(...)") reaches xdg-open unchanged.
    return m_launcher.Launch(m_program, {url}).has_value();
}

} // namespace quorvel

#pragma once

#include "e2e/show_ip_server.h"

#include <chrono>
#include <optional>
#include <string>

namespace quorvel::e2e {

// Debian's firefox-esr, headless, on one profile folder: each Visit starts it with --screenshot for one address,
// the way a person would open the page, and ends it again.
class HeadlessFirefox {
public:
    static constexpr const char* kProgram = "/usr/bin/firefox-esr";

    // `home` becomes the browser's $HOME; `profile` is the profile folder; `scratch` takes logs and pictures.
    HeadlessFirefox(std::string home, std::string profile, std::string scratch);

    // The preferences a profile starts with: localhost may go through a proxy at all (Firefox never proxies it
    // otherwise), and none of the browser's own background traffic, which could only time out here.
    static std::string QuietPreferences();

    // Opens the server's page at `path` and gives the visit the server saw, or nothing when none came within
    // the limit. The browser is ended in any case.
    std::optional<ShowIpServer::Visit> Visit(ShowIpServer& server, const std::string& path,
                                             std::chrono::milliseconds limit);

private:
    std::string m_home;
    std::string m_profile;
    std::string m_scratch;
};

} // namespace quorvel::e2e

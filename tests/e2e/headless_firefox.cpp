#include "e2e/headless_firefox.h"

#include "e2e/child_process.h"
#include "e2e/e2e_support.h"

#include <sys/stat.h>

namespace quorvel::e2e {

namespace {

// How long the browser may go on after the server has answered, to finish its picture and close.
constexpr auto kAfterVisit = std::chrono::seconds(15);

} // namespace

HeadlessFirefox::HeadlessFirefox(std::string home, std::string profile, std::string scratch)
    : m_home(std::move(home)), m_profile(std::move(profile)), m_scratch(std::move(scratch)) {}

std::string HeadlessFirefox::QuietPreferences() {
    static const char* const kLines[] = {
        R"(user_pref("network.proxy.allow_hijacking_localhost", true);)",
        R"(user_pref("browser.shell.checkDefaultBrowser", false);)",
        R"(user_pref("browser.startup.homepage_override.mstone", "ignore");)",
        R"(user_pref("browser.safebrowsing.malware.enabled", false);)",
        R"(user_pref("browser.safebrowsing.phishing.enabled", false);)",
        R"(user_pref("browser.safebrowsing.downloads.enabled", false);)",
        R"(user_pref("browser.safebrowsing.update.enabled", false);)",
        R"(user_pref("network.captive-portal-service.enabled", false);)",
        R"(user_pref("network.connectivity-service.enabled", false);)",
        R"(user_pref("network.dns.disablePrefetch", true);)",
        R"(user_pref("network.prefetch-next", false);)",
        R"(user_pref("network.http.speculative-parallel-limit", 0);)",
        R"(user_pref("network.trr.mode", 5);)",
        R"(user_pref("datareporting.healthreport.uploadEnabled", false);)",
        R"(user_pref("datareporting.policy.dataSubmissionEnabled", false);)",
        R"(user_pref("toolkit.telemetry.enabled", false);)",
        R"(user_pref("app.normandy.enabled", false);)",
        R"(user_pref("app.update.auto", false);)",
        R"(user_pref("extensions.update.enabled", false);)",
        R"(user_pref("extensions.getAddons.cache.enabled", false);)",
        R"(user_pref("extensions.systemAddon.update.enabled", false);)",
        R"(user_pref("media.gmp-manager.updateEnabled", false);)",
        R"(user_pref("services.settings.server", "http://127.0.0.1:9/");)",
        R"(user_pref("browser.region.update.enabled", false);)",
        R"(user_pref("browser.newtabpage.enabled", false);)",
        R"(user_pref("security.OCSP.enabled", 0);)",
        R"(user_pref("browser.ping-centre.telemetry", false);)",
    };
    std::string text;
    for (const char* line : kLines) {
        text += std::string(line) + "\n";
    }
    return text;
}

std::optional<ShowIpServer::Visit> HeadlessFirefox::Visit(ShowIpServer& server, const std::string& path,
                                                          std::chrono::milliseconds limit) {
    static int runs = 0; // numbers every run of the test, whichever profile it used
    const std::string stem = m_scratch + "/firefox-" + std::to_string(++runs);
    const std::string picture = stem + ".png";
    ChildProcess::Options options;
    options.logFile = stem + ".log";
    options.environment = {"HOME=" + m_home, "MOZ_CRASHREPORTER_DISABLE=1", "MOZ_HEADLESS=1"};
    ChildProcess firefox;
    std::string error;
    const std::string url = server.Url(path);
    if (!firefox.Start(kProgram, {"--headless", "--no-remote", "--profile", m_profile, "--screenshot", picture, url},
                       options, error)) {
        Log(error);
        return std::nullopt;
    }
    Log("firefox-esr --headless --no-remote --profile " + m_profile + " --screenshot " + picture + " " + url +
        " (pid " + std::to_string(firefox.Pid()) + ")");

    std::optional<ShowIpServer::Visit> visit;
    WaitUntil(
        [&] {
            visit = server.WaitForVisit(path, std::chrono::milliseconds(0));
            return visit.has_value() || !firefox.IsRunning();
        },
        limit);
    if (visit) {
        firefox.WaitForExit(kAfterVisit);
    } else {
        // The browser may have ended just as the answer came in.
        visit = server.WaitForVisit(path, std::chrono::milliseconds(500));
    }
    const bool ended = !firefox.IsRunning();
    firefox.Stop();
    struct stat info {};
    const bool pictured = ::stat(picture.c_str(), &info) == 0 && info.st_size > 0;
    Log(std::string("firefox ") + (ended ? "ended" : "was stopped") +
        (pictured ? ", screenshot " + picture + " (" + std::to_string(info.st_size) + " bytes)" : ", no screenshot"));
    if (visit) {
        Log("the page saw: peer " + visit->peer + ", User-Agent \"" + visit->userAgent + "\", Accept-Language \"" +
            visit->acceptLanguage + "\"");
    } else {
        Log("the page saw no visit of " + path);
    }
    return visit;
}

} // namespace quorvel::e2e

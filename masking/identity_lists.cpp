#include "masking/identity_lists.h"

namespace quorvel {

namespace {

using Names = std::vector<std::string>;

const Names kWindowsVersions = {"95", "98", "ME", "2000", "XP", "Vista"};
const Names kMacVersions = {"MacOS", "MacOS X"};

const Names kWindowsBrowsers = {"Internet Explorer", "Opera", "Firefox", "Mozilla", "Netscape"};
const Names kLinuxBrowsers = {"Konqueror", "Galeon", "Opera", "Firefox", "Mozilla", "Netscape"};
const Names kMacOsBrowsers = {"Internet Explorer", "Opera", "Mozilla", "Netscape"};
const Names kMacOsXBrowsers = {"Safari", "Camino", "Internet Explorer", "Opera", "Firefox", "Mozilla", "Netscape"};

// The platform a browser-version row belongs to: "Windows", "Linux", or the Mac OS version.
struct BrowserVersionRow {
    const char* platform;
    const char* browser;
    Names versions;
    const char* pick;
};

const BrowserVersionRow kBrowserVersions[] = {
    {"Windows", "Internet Explorer", {"5", "6", "7"}, "5"},
    {"Windows", "Opera", {"7", "8", "9"}, "7"},
    {"Windows", "Firefox", {"1", "1.5", "2"}, "2"},
    {"Windows", "Mozilla", {"1"}, "1"},
    {"Windows", "Netscape", {"4", "6", "7", "8"}, "4"},
    {"MacOS", "Internet Explorer", {"4", "5"}, "4"},
    {"MacOS", "Opera", {"6", "7"}, "6"},
    {"MacOS", "Mozilla", {"1"}, "1"},
    {"MacOS", "Netscape", {"6", "7"}, "6"},
    {"MacOS X", "Internet Explorer", {"5"}, "5"},
    {"MacOS X", "Opera", {"7", "8", "9"}, "7"},
    {"MacOS X", "Mozilla", {"1"}, "1"},
    {"MacOS X", "Firefox", {"1", "1.5", "2"}, "1"},
    {"MacOS X", "Camino", {"0.8", "1", "1.5"}, "0.8"},
    {"MacOS X", "Safari", {}, ""},
    {"MacOS X", "Netscape", {"6", "7"}, "6"},
    {"Linux", "Opera", {"7", "8", "9"}, "7"},
    {"Linux", "Firefox", {"1", "1.5", "2"}, "1.5"},
    {"Linux", "Mozilla", {"1"}, "1"},
    {"Linux", "Netscape", {"4", "6", "7"}, "4"},
    {"Linux", "Galeon", {"1"}, "1"},
    {"Linux", "Konqueror", {"2", "3"}, "2"},
};

struct IeVersionRow {
    const char* windowsVersion;
    Names versions;
    const char* pick;
};

const IeVersionRow kIeVersions[] = {
    {"95", {"4", "5", "5.5", "6"}, "4"}, {"98", {"5", "5.5", "6"}, "5"}, {"ME", {"5.5", "6"}, "5.5"},
    {"2000", {"5", "6"}, "5"},           {"XP", {"6", "7"}, "6"},        {"Vista", {"7"}, "7"},
};

std::string PlatformOf(const std::string& os, const std::string& osVersion) {
    if (os == "Windows" || os == "Linux") {
        return os;
    }
    return os == "Mac" ? osVersion : std::string();
}

void Offer(SoftwarePicker& picker, const std::string& browser, const VersionOffer& offer) {
    picker.browser = browser;
    picker.versions = offer.versions;
    picker.browserVersion = offer.pick;
}

} // namespace

const std::vector<std::string>& OperatingSystems() {
    static const Names systems = {"Windows", "Linux", "Mac"};
    return systems;
}

std::vector<std::string> OsVersionsOf(const std::string& os) {
    if (os == "Windows") {
        return kWindowsVersions;
    }
    return os == "Mac" ? kMacVersions : Names{};
}

std::vector<std::string> BrowsersOf(const std::string& os, const std::string& osVersion) {
    const std::string platform = PlatformOf(os, osVersion);
    if (platform == "Windows") {
        return kWindowsBrowsers;
    }
    if (platform == "Linux") {
        return kLinuxBrowsers;
    }
    if (platform == "MacOS") {
        return kMacOsBrowsers;
    }
    return platform == "MacOS X" ? kMacOsXBrowsers : Names{};
}

std::optional<VersionOffer> BrowserVersionsOf(const std::string& os, const std::string& osVersion,
                                              const std::string& browser) {
    const std::string platform = PlatformOf(os, osVersion);
    for (const BrowserVersionRow& row : kBrowserVersions) {
        if (platform == row.platform && browser == row.browser) {
            return VersionOffer{row.versions, row.pick};
        }
    }
    return std::nullopt;
}

std::optional<VersionOffer> IeVersionsOf(const std::string& windowsVersion) {
    for (const IeVersionRow& row : kIeVersions) {
        if (windowsVersion == row.windowsVersion) {
            return VersionOffer{row.versions, row.pick};
        }
    }
    return std::nullopt;
}

SoftwarePicker ChooseOperatingSystem(SoftwarePicker picker, const std::string& os) {
    picker.os = os;
    if (os == "Windows") {
        picker.osVersions = kWindowsVersions;
        picker.osVersion = "95";
        picker.osVersionEnabled = true;
        picker.browsers = kWindowsBrowsers;
        Offer(picker, "Internet Explorer", {{"5", "6", "7"}, "5"});
    } else if (os == "Linux") {
        // The OS-version box keeps its list but is switched off.
        picker.osVersion.clear();
        picker.osVersionEnabled = false;
        picker.browsers = kLinuxBrowsers;
        Offer(picker, "Konqueror", {{"2", "3"}, "3"});
    } else if (os == "Mac") {
        picker.osVersions = kMacVersions;
        picker.osVersion = "MacOS X";
        picker.osVersionEnabled = true;
        picker.browsers = kMacOsXBrowsers;
        Offer(picker, "Camino", {{"0.8", "1", "1.5"}, "0.8"});
    }
    return picker;
}

SoftwarePicker ChooseOsVersion(SoftwarePicker picker, const std::string& osVersion) {
    picker.osVersion = osVersion;
    if (picker.os == "Linux") {
        return picker;
    }
    if (osVersion == "MacOS") {
        picker.browsers = kMacOsBrowsers;
        Offer(picker, "Internet Explorer", {{"4", "5"}, "4"});
    } else if (osVersion == "MacOS X") {
        picker.browsers = kMacOsXBrowsers;
        Offer(picker, "Safari", {});
    } else if (const auto offer = IeVersionsOf(osVersion)) {
        Offer(picker, "Internet Explorer", *offer);
    }
    return picker;
}

SoftwarePicker ChooseBrowser(SoftwarePicker picker, const std::string& browser) {
    picker.browser = browser;
    picker.browserVersion.clear();
    if (const auto offer = BrowserVersionsOf(picker.os, picker.osVersion, browser)) {
        picker.versions = offer->versions;
        picker.browserVersion = offer->pick;
    }
    return picker;
}

} // namespace quorvel

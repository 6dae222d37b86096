#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quorvel {

// The dependent lists of the software identity: which OS versions, browsers and browser versions are offered
// for what was chosen before, and which entry each choice picks. Names are compared exactly.

const std::vector<std::string>& OperatingSystems(); // "Windows", "Linux", "Mac"

// The OS versions of "Windows" or "Mac"; none for "Linux" or an unknown system.
std::vector<std::string> OsVersionsOf(const std::string& os);

// The browsers offered under an OS (under "Mac", by OS version); none for an unknown combination.
std::vector<std::string> BrowsersOf(const std::string& os, const std::string& osVersion);

// Browser versions to offer, in the order the (sorting) version box shows them, and the one picked.
struct VersionOffer {
    std::vector<std::string> versions;
    std::string pick;
    bool operator==(const VersionOffer&) const = default;
};

// The versions of a browser under an OS (under "Mac", by OS version). Nothing when the browser is not listed
// there; Safari is listed with no versions at all.
std::optional<VersionOffer> BrowserVersionsOf(const std::string& os, const std::string& osVersion,
                                              const std::string& browser);

// The Internet Explorer versions of a Windows version; nothing for anything else.
std::optional<VersionOffer> IeVersionsOf(const std::string& windowsVersion);

// The four software boxes of the masking page: their lists and the chosen values.
struct SoftwarePicker {
    std::string os;
    std::string osVersion;
    std::string browser;
    std::string browserVersion;
    std::vector<std::string> osVersions; // contents of the OS-version box
    std::vector<std::string> browsers;   // contents of the browser box
    std::vector<std::string> versions;   // contents of the version box
    bool osVersionEnabled = true;        // the OS-version box is off under Linux, whatever the mode

    bool operator==(const SoftwarePicker&) const = default;
};

// The user picked an operating system; every box below it is refilled with that system's usual choice.
// (The page also switches the software mode to Masked.)
SoftwarePicker ChooseOperatingSystem(SoftwarePicker picker, const std::string& os);
// The user picked an OS version: a Mac version refills the browsers, a Windows version selects Internet
// Explorer in the versions of that Windows; under Linux only the value changes.
SoftwarePicker ChooseOsVersion(SoftwarePicker picker, const std::string& osVersion);
// The user picked a browser: its versions are offered and the usual one picked. A browser not listed for the
// system leaves the version list as it was, with no version chosen.
SoftwarePicker ChooseBrowser(SoftwarePicker picker, const std::string& browser);

} // namespace quorvel

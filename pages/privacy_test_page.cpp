#include "pages/privacy_test_page.h"

#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "pages/page_text.h"
#include "platform/controls.h"

#include <cctype>

namespace quorvel {

namespace {

using namespace page_text;

constexpr std::array<const char*, 3> kAddressKeys = {
    settings::kFirstCustomPrivacyTest, settings::kSecondCustomPrivacyTest, settings::kThirdCustomPrivacyTest};
constexpr std::string_view kHttp = "http://";

bool BeginsWithLetter(const std::string& text) {
    return !text.empty() && std::isalpha(static_cast<unsigned char>(text[0])) != 0;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// "name://" at the start, the name being a letter and then letters, digits, '+', '-' or '.'.
bool HasScheme(const std::string& address) {
    const auto end = address.find("://");
    if (end == std::string::npos || !BeginsWithLetter(address)) {
        return false;
    }
    for (std::size_t i = 1; i < end; ++i) {
        const auto c = static_cast<unsigned char>(address[i]);
        if (std::isalnum(c) == 0 && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

} // namespace

std::string CPrivacyTestPage::Title() const {
    return LanguageText(m_language, kMainMenu, "Privacy test");
}

void CPrivacyTestPage::OnInitDialog(Controls& controls) {
    const bool custom = m_settings.ReadBool(settings::kPrivacyTest, settings::kCustomPrivacyTest, false);
    controls.SetCheck(kCustomBox, custom ? kChecked : kUnchecked);
    if (!custom) {
        EnableAddresses(controls, false);
    }

    std::array<std::string, 3> addresses;
    bool anyAddress = false;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        addresses[i] = m_settings.ReadString(settings::kPrivacyTest, kAddressKeys[i], settings::kBlank);
        // Any stored address counts, whatever it begins with ("10.0.0.1/ip" included): only none at all gets the
        // default page.
        anyAddress = anyAddress || !Trimmed(addresses[i]).empty();
    }
    if (!anyAddress) {
        addresses[0] = m_defaultAddress;
    }
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        if (!addresses[i].empty()) {
            controls.SetText(kEdits[i], addresses[i]);
        }
    }

    const int number = m_settings.ReadInt(settings::kPrivacyTest, settings::kCustomPrivacyTestNumber, 0);
    for (std::size_t i = 0; i < kRadios.size(); ++i) {
        controls.SetCheck(kRadios[i], number == static_cast<int>(i) + 1 ? kChecked : kUnchecked);
    }

    controls.SetText(kCustomBox,
                     LanguageText(m_language, kPrivacyTest, "Custom privacy test", "Use your own privacy test?"));
}

void CPrivacyTestPage::OnCustomClicked(Controls& controls) {
    EnableAddresses(controls, controls.Check(kCustomBox) == kChecked);
}

std::string CPrivacyTestPage::StoredAddress(const std::string& typed) {
    std::string address = Trimmed(typed);
    // Only a scheme typed in front is dropped: an "http://" further on belongs to the address.
    if (StartsWithNoCase(address, kHttp)) {
        address.erase(0, kHttp.size());
    }
    return address;
}

std::string CPrivacyTestPage::TestUrl(const std::string& stored) {
    return HasScheme(stored) ? stored : std::string(kHttp) + stored;
}

void CPrivacyTestPage::OnOK(Controls& controls) {
    const bool custom = controls.Check(kCustomBox) == kChecked;
    std::array<std::string, 3> addresses;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        addresses[i] = StoredAddress(controls.Text(kEdits[i]));
    }

    m_settings.WriteBool(settings::kPrivacyTest, settings::kCustomPrivacyTest, custom);
    if (!custom) {
        return;
    }
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        m_settings.WriteString(settings::kPrivacyTest, kAddressKeys[i], addresses[i]);
    }
    for (std::size_t i = 0; i < kRadios.size(); ++i) {
        if (controls.Check(kRadios[i]) == kChecked) {
            m_settings.WriteString(settings::kPrivacyTest, settings::kCustomPrivacyTestUrl, TestUrl(addresses[i]));
            m_settings.WriteInt(settings::kPrivacyTest, settings::kCustomPrivacyTestNumber, static_cast<int>(i) + 1);
            break;
        }
    }
}

void CPrivacyTestPage::EnableAddresses(Controls& controls, bool enabled) const {
    for (std::size_t i = 0; i < kRadios.size(); ++i) {
        controls.Enable(kRadios[i], enabled);
        controls.Enable(kEdits[i], enabled);
    }
}

} // namespace quorvel

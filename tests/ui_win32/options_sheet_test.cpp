// The options sheet on PropertySheetW with the pages from the resource script, bound to the page logic: what
// each page shows from the settings, and what OK and Cancel store. No user input: the test drives the sheet.

#include "app/language_file.h"
#include "app/locations.h"
#include "app/process_state.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "masking/identity_masking.h"
#include "masking/masking_page_ids.h"
#include "platform/internet_options.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "redirect/ie_proxy.h"
#include "redirect/messenger_proxy.h"
#include "redirect/mozilla_proxy.h"
#include "redirect/program_redirector.h"
#include "tor/tor_controller.h"
#include "ui/win32/options_sheet.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <fstream>

namespace quorvel::win32 {
namespace {

namespace fs = std::filesystem;

class FolderPaths final : public Paths {
public:
    explicit FolderPaths(const fs::path& root) : m_root(root) {}
    std::string AppDataFolder() const override { return (m_root / "appdata").string(); }
    std::string HomeFolder() const override { return (m_root / "home").string(); }
    std::string CacheFolder() const override { return (m_root / "cache").string(); }
    std::optional<std::string> CookiesFolder() const override { return std::nullopt; }
    std::string ProgramFolder() const override { return (m_root / "program").string(); }

private:
    fs::path m_root;
};

// The Internet options are not the subject here: a connection that never changes.
class StillInternetOptions final : public InternetOptions {
public:
    unsigned long EnumDialUpEntries(DialUpEntryName*, std::uint32_t&, std::uint32_t& count) override {
        count = 0;
        return kRasSuccess;
    }
    bool QueryConnectionProxy(const std::optional<std::string>&, ConnectionProxy&) override { return true; }
    bool SetConnectionProxy(const std::optional<std::string>&, const ConnectionProxy&) override { return true; }
    void NotifySettingsChanged() override {}
    void Refresh() override {}
};

// Tells nothing to a person: counts the messages and answers them with OK.
class QuietUi final : public Ui {
public:
    MessageResult ShowMessage(const std::string&, const std::string&, MessageIcon, MessageButtons,
                              MessageOwner) override {
        ++messages;
        return MessageResult::Ok;
    }
    void ShowBalloon(const std::string&, const std::string&) override {}
    void UpdateTrayIcon(std::optional<int>, const std::string&) override {}
    ModeChoice AskMode() override { return ModeChoice::Fast; }
    std::optional<std::string> PickFolder(const std::string&, const std::string&) override { return std::nullopt; }

    int messages = 0;
};

class OptionsSheetTest : public ::testing::Test {
protected:
    OptionsSheetTest()
        : m_root(fs::temp_directory_path() / ("quorvel-sheet-" + std::to_string(GetCurrentProcessId()))),
          m_paths((fs::create_directories(m_root / "appdata" / "Quorvel"), fs::create_directories(m_root / "program"),
                   m_root)),
          m_settings(m_paths), m_language(m_paths, m_settings), m_registry(RegistryFolder(m_paths)),
          m_tor(m_ui, m_language, m_settings, m_paths), m_ieProxy(m_options, m_settings, m_state),
          m_mozilla(m_settings, m_language, m_ui), m_messengers(m_registry, m_settings),
          m_redirector(m_settings, m_language, m_ui, m_state, m_ieProxy, m_mozilla, m_messengers),
          m_masking(m_settings, m_language, m_registry, m_ui, m_state) {
        INITCOMMONCONTROLSEX controls = {8, 0xFF};
        InitCommonControlsEx(&controls);
        // Both profile folders known: the sheet opens at once, without looking for browsers.
        m_settings.WriteString(settings::kOptionsDialog, "Firefox profile", (m_root / "firefox").string());
        m_settings.WriteString(settings::kOptionsDialog, "Netscape profile", (m_root / "netscape").string());
    }
    ~OptionsSheetTest() override {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }

    OptionsParts Parts() {
        return {m_paths,      m_settings, m_language, m_ui,  m_state,
                m_redirector, m_masking,  m_tor,      [] {}, "check.torproject.org"};
    }

    // Opens the sheet, shows every page in turn, lets `look` see them, then presses `button`.
    void RunSheet(const std::function<void(COptionsSheet&)>& look, int button) {
        COptionsSheet sheet(GetModuleHandleW(nullptr), Parts());
        sheet.SetOnShown([&](HWND window) {
            for (int page = 4; page >= 0; --page) {
                PropSheet_SetCurSel(window, nullptr, page);
            }
            look(sheet);
            PropSheet_PressButton(window, button);
        });
        sheet.Show(nullptr);
    }

    std::string Setting(const char* section, const char* key) const { return m_settings.ReadString(section, key, ""); }

    fs::path m_root;
    FolderPaths m_paths;
    SettingsStore m_settings;
    LanguageFile m_language;
    QuietUi m_ui;
    ProcessState m_state;
    RegistryStore m_registry;
    TorController m_tor;
    StillInternetOptions m_options;
    IeProxy m_ieProxy;
    MozillaProxy m_mozilla;
    MessengerProxy m_messengers;
    ProgramRedirector m_redirector;
    IdentityMasking m_masking;
};

TEST_F(OptionsSheetTest, EveryPageShowsItsSettingsOnItsControls) {
    m_settings.WriteString(settings::kTorSettings, "Tor port", "9150");
    bool looked = false;
    RunSheet(
        [&](COptionsSheet& sheet) {
            looked = true;
            DialogControls& center = *sheet.PageControls(COptionsSheet::kProfilesCenter);
            EXPECT_EQ(center.Count(CProfilesCenterPage::kGroupList), 2);
            EXPECT_EQ(center.ItemText(CProfilesCenterPage::kProgramList, 0), "Internet Explorer");
            EXPECT_EQ(center.CurSel(CProfilesCenterPage::kProgramList), 0);
            EXPECT_EQ(center.Check(CProfilesCenterPage::kAnonymizeBox), kChecked);
            EXPECT_EQ(center.Text(CProfilesCenterPage::kAnonymizeBox), "Anonymize Internet Explorer");
            // Internet Explorer's children: no profile folder, and its five clean options inside their frame.
            HWND noProfile = nullptr;
            HWND clean = nullptr;
            for (HWND child = FindWindowExW(center.Dialog(), nullptr, L"#32770", nullptr); child != nullptr;
                 child = FindWindowExW(center.Dialog(), child, L"#32770", nullptr)) {
                if (GetDlgItem(child, CProfilesCenterPageProfilePath::kNoProfileText) != nullptr) {
                    noProfile = child;
                }
                if (GetDlgItem(child, 300) != nullptr && GetDlgItem(child, 304) != nullptr) {
                    clean = child;
                }
            }
            ASSERT_NE(noProfile, nullptr);
            ASSERT_NE(clean, nullptr);
            RECT frame = {};
            RECT inside = {};
            GetWindowRect(center.Item(CProfilesCenterPage::kCleanFrame), &frame);
            GetWindowRect(clean, &inside);
            EXPECT_TRUE(inside.left > frame.left && inside.top > frame.top && inside.right < frame.right &&
                        inside.bottom < frame.bottom);

            DialogControls& masking = *sheet.PageControls(COptionsSheet::kMasking);
            EXPECT_EQ(masking.Text(masking_page::kOsBox), "Windows");
            EXPECT_EQ(masking.Text(masking_page::kOsVersionBox), "95");
            EXPECT_EQ(masking.Text(masking_page::kBrowserBox), "Internet Explorer");
            EXPECT_EQ(masking.Text(masking_page::kBrowserVersionBox), "6");
            EXPECT_EQ(masking.Check(masking_page::kSoftwareDefault), kChecked);
            EXPECT_FALSE(masking.IsEnabled(masking_page::kOsBox));

            DialogControls& other = *sheet.PageControls(COptionsSheet::kOther);
            EXPECT_EQ(other.Text(COtherPage::kPortEdit), "9150");
            EXPECT_EQ(other.Text(COtherPage::kPeriodEdit), "30");
            EXPECT_EQ(other.Text(COtherPage::kLanguageBox), "English");
            EXPECT_EQ(other.Count(COtherPage::kLanguageBox), 2);
            EXPECT_EQ(other.Check(COtherPage::kBalloonTipsBox), kChecked);

            DialogControls& country = *sheet.PageControls(COptionsSheet::kCountry);
            HWND header = reinterpret_cast<HWND>(
                SendMessageW(country.Item(CCountrySelectPage::kCountryList), LVM_GETHEADER, 0, 0));
            EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
            EXPECT_FALSE(country.IsEnabled(CCountrySelectPage::kProgressBar));
            EXPECT_EQ(country.Text(CCountrySelectPage::kObtainButton), "Obtain the list of countries");

            DialogControls& privacy = *sheet.PageControls(COptionsSheet::kPrivacy);
            EXPECT_EQ(privacy.Check(CPrivacyTestPage::kCustomBox), kUnchecked);
            EXPECT_EQ(privacy.Text(CPrivacyTestPage::kEdits[0]), "check.torproject.org");
            EXPECT_FALSE(privacy.IsEnabled(CPrivacyTestPage::kEdits[0]));

            wchar_t caption[64] = {};
            GetWindowTextW(sheet.Sheet(), caption, 64);
            EXPECT_STREQ(caption, L"Options");
        },
        PSBTN_CANCEL);
    EXPECT_TRUE(looked);
    // Opening the masking page stores the identity it starts from.
    EXPECT_EQ(Setting(settings::kOptionsDialog, "OS"), "Windows");
}

TEST_F(OptionsSheetTest, OkStoresWhatThePagesHoldAndCancelPutsTheSelectionsBack) {
    fs::create_directories(m_root / "appdata" / "tor");
    std::ofstream(m_root / "appdata" / "tor" / "torrc") << "SocksPort 9050\r\n";
    RunSheet(
        [&](COptionsSheet& sheet) {
            DialogControls& other = *sheet.PageControls(COptionsSheet::kOther);
            other.SetText(COtherPage::kPortEdit, "9250");
            other.SetText(COtherPage::kPeriodEdit, "1");
        },
        PSBTN_OK);
    EXPECT_EQ(Setting(settings::kTorSettings, "Tor port"), "9250");
    EXPECT_EQ(Setting(settings::kTorSettings, "Tor IP period"), "1");

    RunSheet(
        [&](COptionsSheet& sheet) {
            // Clearing Internet Explorer's box stores it as pending at once; Cancel puts the selection back.
            DialogControls& center = *sheet.PageControls(COptionsSheet::kProfilesCenter);
            center.SetCheck(CProfilesCenterPage::kAnonymizeBox, kUnchecked);
            SendMessageW(center.Dialog(), WM_COMMAND, MAKEWPARAM(CProfilesCenterPage::kAnonymizeBox, BN_CLICKED),
                         reinterpret_cast<LPARAM>(center.Item(CProfilesCenterPage::kAnonymizeBox)));
            EXPECT_EQ(m_settings.ReadInt(settings::kAnonymization, "Internet Explorer", 0), -1);
        },
        PSBTN_CANCEL);
    EXPECT_EQ(m_settings.ReadInt(settings::kAnonymization, "Internet Explorer", 0), 1);
}

TEST_F(OptionsSheetTest, APortOutOfRangeKeepsTheSheetOpenOnItsPage) {
    fs::create_directories(m_root / "appdata" / "tor");
    std::ofstream(m_root / "appdata" / "tor" / "torrc") << "SocksPort 9050\r\n";
    int shownAfterOk = -1;
    COptionsSheet sheet(GetModuleHandleW(nullptr), Parts());
    sheet.SetOnShown([&](HWND window) {
        PropSheet_SetCurSel(window, nullptr, COptionsSheet::kOther);
        sheet.PageControls(COptionsSheet::kOther)->SetText(COtherPage::kPortEdit, "70000");
        PropSheet_SetCurSel(window, nullptr, COptionsSheet::kProfilesCenter);
        PropSheet_PressButton(window, PSBTN_OK);
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
            DispatchMessageW(&msg);
        }
        shownAfterOk = PropSheet_HwndToIndex(window, PropSheet_GetCurrentPageHwnd(window));
        PropSheet_PressButton(window, PSBTN_CANCEL);
    });
    sheet.Show(nullptr);
    EXPECT_EQ(shownAfterOk, static_cast<int>(COptionsSheet::kOther));
    EXPECT_EQ(Setting(settings::kTorSettings, "Tor port"), "");
    EXPECT_EQ(m_ui.messages, 1); // the refusal was told
}

TEST_F(OptionsSheetTest, RussianShowsInCaptionAndTabs) {
    // The source tree, as Wine shows the build machine's files.
    std::string source = std::string("Z:") + QUORVEL_SOURCE_DIR;
    std::replace(source.begin(), source.end(), '/', '\\');
    fs::create_directories(m_root / "program" / "lang");
    // Shipped with a byte-order mark, the file reads the same whatever the system code page.
    std::ifstream in(fs::path(source) / "lang" / "Russian.ini", std::ios::binary);
    std::ofstream(m_root / "program" / "lang" / "Russian.ini", std::ios::binary) << "\xEF\xBB\xBF" << in.rdbuf();
    m_settings.WriteString(settings::kOptionsDialog, "Language", COtherPage::kRussian);
    std::wstring caption(64, L'\0');
    std::wstring masking(64, L'\0');
    RunSheet(
        [&](COptionsSheet& sheet) {
            caption.resize(static_cast<std::size_t>(GetWindowTextW(sheet.Sheet(), caption.data(), 64)));
            TCITEMW tab = {};
            tab.mask = TCIF_TEXT;
            tab.pszText = masking.data();
            tab.cchTextMax = 64;
            TabCtrl_GetItem(PropSheet_GetTabControl(sheet.Sheet()), COptionsSheet::kMasking, &tab);
            masking.resize(wcslen(masking.c_str()));
        },
        PSBTN_CANCEL);
    EXPECT_EQ(caption, L"Настройки");
    EXPECT_EQ(masking, L"Маскировка");
}

} // namespace
} // namespace quorvel::win32

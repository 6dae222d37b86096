// The dialog templates of the resource script, made into real windows, and the controls port on them.

#include "cleaning/clean_options.h"
#include "cleaning/profiles_center_page_clean.h"
#include "masking/masking_page_ids.h"
#include "pages/country_select_page.h"
#include "pages/other_page.h"
#include "pages/privacy_test_page.h"
#include "pages/profile_path_dialog.h"
#include "pages/profiles_center_page.h"
#include "ui/win32/about_box.h"
#include "ui/win32/dialog_controls.h"
#include "ui/win32/message_waiter.h"
#include "ui/win32/mode_dialog.h"
#include "ui/win32/ui_thread.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <thread>
#include <vector>

namespace quorvel::win32 {
namespace {

INT_PTR CALLBACK NoHandling(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::wstring ClassOf(HWND control) {
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    return name;
}

class DialogTemplatesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {8, 0xFF};
        InitCommonControlsEx(&controls);
    }

    void SetUp() override {
        m_parent = CreateWindowExW(0, L"STATIC", L"test parent", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_parent, nullptr);
    }
    void TearDown() override { DestroyWindow(m_parent); }

    HWND Make(int templateId) {
        HWND dialog =
            CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), m_parent, NoHandling, 0);
        EXPECT_NE(dialog, nullptr) << "template " << templateId;
        return dialog;
    }

    // Each id is a control of the dialog, of the window class given.
    void ExpectControls(int templateId, const std::vector<std::pair<int, const wchar_t*>>& controls) {
        HWND dialog = Make(templateId);
        for (const auto& [id, className] : controls) {
            HWND control = GetDlgItem(dialog, id);
            ASSERT_NE(control, nullptr) << "template " << templateId << " has no control " << id;
            EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), className), 0)
                << "template " << templateId << " control " << id;
        }
    }

    HWND m_parent = nullptr;
};

TEST_F(DialogTemplatesTest, EveryPageTemplateHasItsControlIds) {
    using Center = CProfilesCenterPage;
    ExpectControls(Center::kTemplate, {{Center::kGroupList, L"ComboBox"},
                                       {Center::kProgramList, L"ComboBox"},
                                       {Center::kProfilePathFrame, L"Button"},
                                       {Center::kCleanFrame, L"Button"},
                                       {Center::kAnonymizeBox, L"Button"},
                                       {Center::kCleanReportBox, L"Button"}});
    using namespace masking_page;
    std::vector<std::pair<int, const wchar_t*>> masking;
    for (int id : {kSoftwareDefault, kSoftwareInvisible, kSoftwareMasked, kLanguageDefault, kLanguageInvisible,
                   kLanguageMasked, kResetButton, kSoftwareGroup, kLanguageGroup}) {
        masking.emplace_back(id, L"Button");
    }
    for (int id : {kOsBox, kOsVersionBox, kBrowserBox, kBrowserVersionBox, kLanguageBox}) {
        masking.emplace_back(id, L"ComboBox");
    }
    for (int id : {kApplicableTo, kTakesEffectNote, kRecommend, kOsLabel, kOsVersionLabel, kBrowserLabel,
                   kBrowserVersionLabel}) {
        masking.emplace_back(id, L"Static");
    }
    ExpectControls(kDialogTemplate, masking);
    using Other = COtherPage;
    ExpectControls(Other::kTemplate, {{Other::kTakesEffectNote, L"Static"},
                                      {Other::kPortGroup, L"Button"},
                                      {Other::kPortLabel, L"Static"},
                                      {Other::kPortEdit, L"Edit"},
                                      {Other::kPortDefault, L"Static"},
                                      {Other::kPeriodGroup, L"Button"},
                                      {Other::kPeriodLabel, L"Static"},
                                      {Other::kPeriodEdit, L"Edit"},
                                      {Other::kMinutesLabel, L"Static"},
                                      {Other::kLanguageGroup, L"Button"},
                                      {Other::kLanguageBox, L"ComboBox"},
                                      {Other::kBalloonTipsBox, L"Button"}});
    using Country = CCountrySelectPage;
    ExpectControls(Country::kTemplate, {{Country::kCountryList, WC_LISTVIEWW},
                                        {Country::kObtainButton, L"Button"},
                                        {Country::kProgressBar, PROGRESS_CLASSW},
                                        {Country::kSelectButton, L"Button"},
                                        {Country::kCancelSelectionButton, L"Button"}});
    using Privacy = CPrivacyTestPage;
    std::vector<std::pair<int, const wchar_t*>> privacy = {{Privacy::kCustomBox, L"Button"}};
    for (std::size_t i = 0; i < Privacy::kRadios.size(); ++i) {
        privacy.emplace_back(Privacy::kRadios[i], L"Button");
        privacy.emplace_back(Privacy::kEdits[i], L"Edit");
    }
    ExpectControls(Privacy::kTemplate, privacy);
}

TEST_F(DialogTemplatesTest, ChildTemplatesHaveTheirControlIds) {
    using Path = CProfilesCenterPageProfilePath;
    using Clean = CProfilesCenterPageClean;
    ExpectControls(
        Path::kPathTemplate,
        {{Path::kPathField, L"Edit"}, {Path::kAutoDetectButton, L"Button"}, {Path::kBrowseButton, L"Button"}});
    ExpectControls(Path::kNoProfileTemplate, {{Path::kNoProfileText, L"Static"}});
    ExpectControls(Clean::kNoOptionsTemplate, {{Clean::kNoOptionsText, L"Static"}});
    const std::pair<int, TrackBrowser> cleanTemplates[] = {
        {Clean::kInternetExplorerTemplate, TrackBrowser::InternetExplorer},
        {Clean::kFirefoxTemplate, TrackBrowser::Firefox},
        {Clean::kNetscapeTemplate, TrackBrowser::Netscape}};
    for (const auto& [templateId, browser] : cleanTemplates) {
        std::vector<std::pair<int, const wchar_t*>> boxes;
        for (const CleanOption& option : kCleanOptions) {
            if (option.browser == browser) {
                boxes.emplace_back(option.checkBoxId, L"Button");
            }
        }
        if (browser != TrackBrowser::InternetExplorer) {
            boxes.emplace_back(Clean::kBrowserMustBeClosedNote, L"Static");
        }
        if (browser == TrackBrowser::Firefox) {
            boxes.emplace_back(Clean::kFirefox2OnlyNote, L"Static");
        }
        ExpectControls(templateId, boxes);
    }
    ExpectControls(CSelectMode::kTemplateId,
                   {{CSelectMode::kFastRadio, L"Button"}, {CSelectMode::kStrongRadio, L"Button"}, {IDOK, L"Button"}});
}

TEST_F(DialogTemplatesTest, AboutBoxIsItsSizeWithOkAndAHiddenReportButton) {
    HWND about =
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(CAbout::kTemplateId), nullptr, NoHandling, 0);
    ASSERT_NE(about, nullptr);
    RECT expected = {0, 0, 344, 186};
    MapDialogRect(about, &expected);
    RECT client = {};
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
    ASSERT_NE(GetDlgItem(about, IDOK), nullptr);
    HWND report = GetDlgItem(about, CAbout::kReportButton);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(report, GWL_STYLE) & WS_VISIBLE, 0);
    DestroyWindow(about);
}

TEST_F(DialogTemplatesTest, ArtworkIsThereByResourceId) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    for (int icon : {181, 130, 157, 158, 159, 160, 193, 162, 179, 165, 163, 139, 147, 151, 140, 204, 189}) {
        EXPECT_NE(LoadImageW(module, MAKEINTRESOURCEW(icon), IMAGE_ICON, 16, 16, LR_SHARED), nullptr) << icon;
    }
    for (int bitmap : {167, 168, 169, 170, 171, 173, 174, 175, 192, 194, 195, 196, 202, 203}) {
        auto* loaded = static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(bitmap), IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(loaded, nullptr) << bitmap;
        BITMAP size = {};
        GetObjectW(loaded, sizeof(size), &size);
        EXPECT_EQ(size.bmWidth, 16) << bitmap;
        EXPECT_EQ(size.bmHeight, 16) << bitmap;
        DeleteObject(loaded);
    }
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)), nullptr) << "manifest";
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(206), MAKEINTRESOURCEW(2)), nullptr) << "about picture";
}

TEST_F(DialogTemplatesTest, ControlsReadAndWriteRealControls) {
    HWND page = Make(COtherPage::kTemplate);
    DialogControls controls(page);
    // A label shows an ampersand as written.
    controls.SetText(COtherPage::kBalloonTipsBox, "Tips & tricks");
    EXPECT_EQ(controls.Text(COtherPage::kBalloonTipsBox), "Tips & tricks");
    controls.SetText(COtherPage::kPortEdit, "Порт 9050");
    EXPECT_EQ(controls.Text(COtherPage::kPortEdit), "Порт 9050");
    controls.SetCheck(COtherPage::kBalloonTipsBox, kChecked);
    EXPECT_EQ(controls.Check(COtherPage::kBalloonTipsBox), kChecked);

    EXPECT_EQ(controls.AddString(COtherPage::kLanguageBox, "English"), 0);
    EXPECT_EQ(controls.AddString(COtherPage::kLanguageBox, COtherPage::kRussian), 1);
    EXPECT_EQ(controls.Count(COtherPage::kLanguageBox), 2);
    EXPECT_EQ(controls.ItemText(COtherPage::kLanguageBox, 1), COtherPage::kRussian);
    EXPECT_EQ(controls.FindStringExact(COtherPage::kLanguageBox, "english"), 0);
    controls.SetCurSel(COtherPage::kLanguageBox, 1);
    EXPECT_EQ(controls.CurSel(COtherPage::kLanguageBox), 1);
    EXPECT_EQ(controls.Text(COtherPage::kLanguageBox), COtherPage::kRussian);
    controls.ResetContent(COtherPage::kLanguageBox);
    EXPECT_EQ(controls.Count(COtherPage::kLanguageBox), 0);

    controls.Enable(COtherPage::kPeriodEdit, false);
    EXPECT_FALSE(controls.IsEnabled(COtherPage::kPeriodEdit));
    EXPECT_EQ(controls.Text(4242), "");
    EXPECT_EQ(controls.CurSel(COtherPage::kPortEdit), -1);
}

TEST_F(DialogTemplatesTest, IconListsShowOnlyTheirEntries) {
    HWND page = Make(CProfilesCenterPage::kTemplate);
    DialogControls controls(page);
    controls.AddString(CProfilesCenterPage::kGroupList, "Browsers");
    controls.AddString(CProfilesCenterPage::kGroupList, "Instant Messengers");
    controls.SetText(CProfilesCenterPage::kGroupList, "Instant Messengers");
    EXPECT_EQ(controls.CurSel(CProfilesCenterPage::kGroupList), 1);
    controls.SetText(CProfilesCenterPage::kGroupList, "Nothing of the list");
    EXPECT_EQ(controls.CurSel(CProfilesCenterPage::kGroupList), 1);
}

TEST_F(DialogTemplatesTest, ListViewAndProgressBar) {
    using Country = CCountrySelectPage;
    HWND page = Make(Country::kTemplate);
    DialogControls controls(page);
    controls.InsertColumn(Country::kCountryList, 0, "Country", 180);
    controls.InsertColumn(Country::kCountryList, 1, "Number of IP’s", 150);
    EXPECT_EQ(controls.InsertItem(Country::kCountryList, 0, "Germany"), 0);
    EXPECT_EQ(controls.InsertItem(Country::kCountryList, 1, "France"), 1);
    controls.SetItemText(Country::kCountryList, 1, 1, "12");
    const std::string longName(600, 'x');
    controls.SetItemText(Country::kCountryList, 0, 1, longName);
    EXPECT_EQ(controls.ItemCount(Country::kCountryList), 2);
    EXPECT_EQ(controls.ItemText(Country::kCountryList, 1, 0), "France");
    EXPECT_EQ(controls.ItemText(Country::kCountryList, 1, 1), "12");
    EXPECT_EQ(controls.ItemText(Country::kCountryList, 0, 1), longName);
    EXPECT_EQ(controls.SelectedRow(Country::kCountryList), -1);
    controls.SelectRow(Country::kCountryList, 1);
    EXPECT_EQ(controls.SelectedRow(Country::kCountryList), 1);
    controls.SelectRow(Country::kCountryList, -1);
    EXPECT_EQ(controls.SelectedRow(Country::kCountryList), -1);
    controls.DeleteAllItems(Country::kCountryList);
    EXPECT_EQ(controls.ItemCount(Country::kCountryList), 0);

    controls.SetRange(Country::kProgressBar, 0, 12);
    controls.SetPos(Country::kProgressBar, 7);
    EXPECT_EQ(controls.Pos(Country::kProgressBar), 7);
}

LRESULT CALLBACK RunsPosted(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunOnUiThreadMessage) {
        UiThread::RunPosted(lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(DialogTemplatesTest, AnotherThreadsCallsRunOnTheUserInterfaceThread) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = RunsPosted;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorvelTestHost";
    RegisterClassW(&wc);
    HWND host = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    UiThread::Attach(host);
    HWND page = Make(CCountrySelectPage::kTemplate);
    DialogControls controls(page);
    UiThreadControls fromWorker(controls);
    std::atomic<bool> done{false};
    DWORD ranOn = 0;
    std::thread worker([&] {
        fromWorker.InsertColumn(CCountrySelectPage::kCountryList, 0, "Country", 180);
        fromWorker.InsertItem(CCountrySelectPage::kCountryList, 0, "Sweden");
        UiThread::Run([&] { ranOn = GetCurrentThreadId(); });
        done = true;
    });
    while (!done) {
        MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, 0);
        MessageWaiter::PumpWithoutInput();
    }
    worker.join();
    EXPECT_EQ(ranOn, GetCurrentThreadId());
    EXPECT_EQ(controls.ItemText(CCountrySelectPage::kCountryList, 0, 0), "Sweden");

    // Once the loop has ended, a call from another thread is dropped instead of waiting for ever.
    UiThread::Detach();
    bool ran = true;
    std::thread late([&] { ran = UiThread::Run([] {}); });
    late.join();
    EXPECT_FALSE(ran);
    DestroyWindow(host);
}

} // namespace
} // namespace quorvel::win32

#include "ui/win32/options_sheet.h"

#include "cleaning/clean_options.h"
#include "masking/masking_page_ids.h"
#include "pages/profiles_center_programs.h"
#include "platform/win32/wide_text.h"
#include "ui/win32/message_waiter.h"
#include "ui/win32/win32_ui.h"

#include <commctrl.h>
#include <prsht.h>

#include <atomic>
#include <thread>

namespace quorvel::win32 {

namespace {

using Center = CProfilesCenterPage;
using Path = CProfilesCenterPageProfilePath;
using Country = CCountrySelectPage;

// Where a child sits inside its frame, in pixels: left, top (below the frame's title), right, bottom.
constexpr int kFrameLeft = 4;
constexpr int kFrameTop = 15;
constexpr int kFrameRight = 4;
constexpr int kFrameBottom = 6;

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kCloseRequestPollMs = 100;
constexpr int kIconItemHeight = 20;

// While the sheet is being made, its pages reach it through this.
thread_local COptionsSheet* t_opening = nullptr;

// A drop-down box tells of a new selection before its edit shows it: the edit is brought in line first, so the
// page reads what was picked.
void TakeSelection(HWND combo) {
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index < 0 || (GetWindowLongPtrW(combo, GWL_STYLE) & 3) == CBS_DROPDOWNLIST) {
        return;
    }
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    SetWindowTextW(combo, text.c_str());
}

int ItemIcon(int controlId, int row, const std::string& text) {
    if (controlId == Center::kGroupList) {
        const auto groups = ProgramGroups();
        return row >= 0 && row < static_cast<int>(groups.size()) ? groups[static_cast<std::size_t>(row)].iconId : 0;
    }
    const auto program = ProgramByEntryText(text);
    return program ? program->iconId : 0;
}

} // namespace

COptionsSheet::COptionsSheet(HINSTANCE instance, const OptionsParts& parts)
    : m_instance(instance), m_language(parts.language), m_pages(parts), m_model(m_pages.InTabOrder()) {
    for (std::size_t i = 0; i < m_pageState.size(); ++i) {
        m_pageState[i].sheet = this;
        m_pageState[i].index = i;
        m_pageState[i].title = Widen(m_model.Page(i).Title());
    }
    m_pages.profilesCenter.SetChildHost(&m_children);
}

COptionsSheet::~COptionsSheet() {
    m_pages.profilesCenter.SetChildHost(nullptr);
    if (m_boldFont != nullptr) {
        DeleteObject(m_boldFont);
    }
}

DialogControls* COptionsSheet::PageControls(std::size_t index) {
    return index < m_pageState.size() ? m_pageState[index].controls.get() : nullptr;
}

void COptionsSheet::Show(HWND owner) {
    std::array<PROPSHEETPAGEW, 5> sheets = {};
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        PROPSHEETPAGEW& psp = sheets[i];
        psp.dwSize = sizeof(psp);
        psp.dwFlags = PSP_USETITLE;
        psp.hInstance = m_instance;
        psp.pszTemplate = MAKEINTRESOURCEW(m_model.Page(i).TemplateId());
        psp.pfnDlgProc = PageProc;
        psp.pszTitle = m_pageState[i].title.c_str();
        psp.lParam = reinterpret_cast<LPARAM>(&m_pageState[i]);
    }
    const std::wstring caption = Widen(OptionsSheetModel::Caption(m_language));
    PROPSHEETHEADERW psh = {};
    psh.dwSize = sizeof(psh);
    psh.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_NOCONTEXTHELP;
    psh.hwndParent = owner;
    psh.hInstance = m_instance;
    psh.pszCaption = caption.c_str();
    psh.nPages = static_cast<UINT>(sheets.size());
    psh.nStartPage = 0;
    psh.ppsp = sheets.data();
    psh.pfnCallback = SheetCallback;
    COptionsSheet* outer = t_opening;
    t_opening = this;
    PropertySheetW(&psh);
    t_opening = outer;
    m_sheet = nullptr;
}

int CALLBACK COptionsSheet::SheetCallback(HWND sheet, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED && t_opening != nullptr) {
        COptionsSheet* self = t_opening;
        self->m_sheet = sheet;
        SetWindowSubclass(sheet, SheetSubclass, kSubclassId, reinterpret_cast<DWORD_PTR>(self));
        SetTimer(sheet, kCloseTimer, kCloseRequestPollMs, nullptr);
        if (self->m_onShown) {
            // After the sheet has made its first page.
            PostMessageW(sheet, WM_APP + 2, 0, 0);
        }
    }
    return 0;
}

LRESULT CALLBACK COptionsSheet::SheetSubclass(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR data) {
    auto* self = reinterpret_cast<COptionsSheet*>(data);
    switch (message) {
    case WM_COMMAND:
        // The sheet does not close while the country list is being filled.
        if ((LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) && self->m_busy) {
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kCloseTimer) {
            if (self->m_waiter != nullptr && self->m_waiter->IsInterrupted() && !self->m_busy) {
                PropSheet_PressButton(sheet, PSBTN_CANCEL);
            }
            return 0;
        }
        break;
    case WM_APP + 2:
        if (self->m_onShown) {
            self->m_onShown(sheet);
        }
        return 0;
    case WM_NCDESTROY:
        KillTimer(sheet, kCloseTimer);
        RemoveWindowSubclass(sheet, SheetSubclass, kSubclassId);
        break;
    default:
        break;
    }
    return DefSubclassProc(sheet, message, wParam, lParam);
}

bool COptionsSheet::OnOK() {
    if (m_applied) {
        return true;
    }
    if (m_busy) {
        return false;
    }
    if (const auto refused = m_model.OnOK()) {
        // Once the sheet has taken the refusal, it shows the page that refused.
        PostMessageW(m_sheet, PSM_SETCURSEL, static_cast<WPARAM>(*refused), 0);
        return false;
    }
    m_applied = true;
    return true;
}

void COptionsSheet::InitPage(Page& page, HWND dialog) {
    page.controls = std::make_unique<DialogControls>(dialog);
    if (page.index == kCountry) {
        SendDlgItemMessageW(dialog, Country::kCountryList, LVM_SETEXTENDEDLISTVIEWSTYLE,
                            LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    }
    m_model.Show(page.index, *page.controls);
    if (page.index == kCountry) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT;
        column.fmt = LVCFMT_CENTER;
        SendDlgItemMessageW(dialog, Country::kCountryList, LVM_SETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    }
}

void COptionsSheet::Command(Page& page, int id, int code) {
    DialogControls& controls = *page.controls;
    if (code == CBN_SELCHANGE) {
        TakeSelection(controls.Item(id));
    }
    switch (page.index) {
    case kProfilesCenter:
        if (code == CBN_SELCHANGE && id == Center::kGroupList) {
            m_pages.profilesCenter.OnGroupChanged(controls);
        } else if (code == CBN_SELCHANGE && id == Center::kProgramList) {
            m_pages.profilesCenter.OnProgramChanged(controls);
        } else if (code == BN_CLICKED && id == Center::kAnonymizeBox) {
            m_pages.profilesCenter.OnAnonymizeClicked(controls);
        } else if (code == BN_CLICKED && id == Center::kCleanReportBox) {
            m_pages.profilesCenter.OnCleanReportClicked(controls);
        }
        break;
    case kMasking: {
        using namespace masking_page;
        CMaskingPage& masking = m_pages.masking;
        if (code == CBN_SELCHANGE && id == kOsBox) {
            masking.OnOsSelected(controls);
        } else if (code == CBN_SELCHANGE && id == kOsVersionBox) {
            masking.OnOsVersionSelected(controls);
        } else if (code == CBN_SELCHANGE && id == kBrowserBox) {
            masking.OnBrowserSelected(controls);
        } else if (code == BN_CLICKED && id >= kSoftwareDefault && id <= kSoftwareMasked) {
            masking.OnSoftwareModeClicked(controls, id);
        } else if (code == BN_CLICKED && id >= kLanguageDefault && id <= kLanguageMasked) {
            masking.OnLanguageModeClicked(controls, id);
        } else if (code == BN_CLICKED && id == kResetButton) {
            masking.OnResetToDefault(controls);
        }
        break;
    }
    case kOther:
        if (code == CBN_SELCHANGE && id == COtherPage::kLanguageBox) {
            m_pages.other.OnLanguageSelected(controls);
        }
        break;
    case kCountry:
        if (code != BN_CLICKED || m_busy) {
            break;
        }
        if (id == Country::kObtainButton) {
            ObtainCountries();
        } else if (id == Country::kSelectButton) {
            m_busy = true;
            m_pages.country.OnSelectCountry(controls);
            m_busy = false;
        } else if (id == Country::kCancelSelectionButton) {
            m_pages.country.OnCancelCountry();
        }
        break;
    case kPrivacy:
        if (code == BN_CLICKED && id == CPrivacyTestPage::kCustomBox) {
            m_pages.privacy.OnCustomClicked(controls);
        }
        break;
    default:
        break;
    }
}

void COptionsSheet::ObtainCountries() {
    DialogControls& controls = *m_pageState[kCountry].controls;
    m_busy = true;
    // Tor's answers take a while: a worker asks, and its calls on the controls come here, while this thread keeps
    // painting and takes no user input.
    UiThreadControls fromWorker(controls);
    std::atomic<bool> done{false};
    int currentRow = -1;
    std::thread worker([&] {
        currentRow = m_pages.country.OnObtainList(fromWorker);
        done = true;
    });
    while (!done) {
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(MessageWaiter::kPollInterval.count()),
                                    QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER, 0);
        MessageWaiter::PumpWithoutInput();
    }
    worker.join();
    m_busy = false;
    controls.SetFocus(Country::kCountryList);
    controls.SelectRow(Country::kCountryList, currentRow);
}

void COptionsSheet::ChildCommand(int id, int code) {
    if (code != BN_CLICKED) {
        return;
    }
    if (id == Path::kAutoDetectButton) {
        m_pages.profilesCenter.OnAutoDetect();
    } else if (id == Path::kBrowseButton) {
        m_pages.profilesCenter.OnBrowse();
    } else {
        for (const CleanOption& option : kCleanOptions) {
            if (option.checkBoxId == id) {
                m_pages.profilesCenter.OnCleanBoxClicked(id);
            }
        }
    }
}

void COptionsSheet::MeasureIconItem(MEASUREITEMSTRUCT& item) const {
    item.itemHeight = kIconItemHeight;
}

void COptionsSheet::DrawIconItem(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    RECT area = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID == static_cast<UINT>(-1)) {
        return;
    }
    const int id = static_cast<int>(item.CtlID);
    const LRESULT length = SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));

    if (HICON icon = Win32Ui::SmallIcon(m_instance, ItemIcon(id, static_cast<int>(item.itemID), Narrow(text)))) {
        DrawIconEx(dc, area.left + 2, area.top + (area.bottom - area.top - 16) / 2, icon, 16, 16, 0, nullptr,
                   DI_NORMAL);
    }
    RECT label = area;
    label.left += 22;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    HGDIOBJ old = SelectObject(dc, m_boldFont != nullptr ? m_boldFont : GetStockObject(DEFAULT_GUI_FONT));
    DrawTextW(dc, text.c_str(), -1, &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
    if ((item.itemState & ODS_FOCUS) != 0) {
        DrawFocusRect(dc, &area);
    }
}

INT_PTR CALLBACK COptionsSheet::PageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* page = reinterpret_cast<Page*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        page = reinterpret_cast<Page*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        COptionsSheet& sheet = *page->sheet;
        if (sheet.m_boldFont == nullptr) {
            LOGFONTW font = {};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(font), &font);
            font.lfWeight = FW_BOLD;
            sheet.m_boldFont = CreateFontIndirectW(&font);
        }
        sheet.InitPage(*page, dialog);
        return TRUE;
    }
    if (page == nullptr) {
        return FALSE;
    }
    COptionsSheet& sheet = *page->sheet;
    switch (message) {
    case WM_COMMAND:
        if (page->controls) {
            sheet.Command(*page, LOWORD(wParam), HIWORD(wParam));
        }
        return TRUE;
    case WM_MEASUREITEM: {
        auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item.CtlType == ODT_COMBOBOX) {
            sheet.MeasureIconItem(item);
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlType == ODT_COMBOBOX) {
            sheet.DrawIconItem(item);
            return TRUE;
        }
        break;
    }
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.code == PSN_RESET && !sheet.m_cancelled) {
            sheet.m_cancelled = true;
            sheet.m_model.OnCancel();
        } else if (header.code == PSN_QUERYCANCEL) {
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, sheet.m_busy ? TRUE : FALSE);
            return TRUE;
        } else if (header.code == PSN_APPLY) {
            // The sheet asks every page made so far, in tab order; the first one asked stores them all, or keeps
            // the sheet open when one refuses what was typed.
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, sheet.OnOK() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE);
            return TRUE;
        }
        break;
    }
    default:
        break;
    }
    return FALSE;
}

Controls& COptionsSheet::ChildHost::HostChild(int frameId, int templateId) {
    DestroyChild(frameId);
    DialogControls* pageControls = m_sheet.PageControls(kProfilesCenter);
    HWND pageWindow = pageControls != nullptr ? pageControls->Dialog() : nullptr;
    HWND child = pageWindow != nullptr ? CreateDialogParamW(m_sheet.m_instance, MAKEINTRESOURCEW(templateId),
                                                            pageWindow, ChildProc, reinterpret_cast<LPARAM>(&m_sheet))
                                       : nullptr;
    if (child != nullptr) {
        HWND frame = GetDlgItem(pageWindow, frameId);
        RECT frameRect = {};
        GetWindowRect(frame, &frameRect);
        MapWindowPoints(HWND_DESKTOP, pageWindow, reinterpret_cast<POINT*>(&frameRect), 2);
        RECT childClient = {};
        GetClientRect(child, &childClient);
        SetWindowPos(child, frame, frameRect.left + kFrameLeft, frameRect.top + kFrameTop, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(frame, nullptr, 0, 0, childClient.right + kFrameLeft + kFrameRight,
                     childClient.bottom + kFrameTop + kFrameBottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(child, SW_SHOWNA);
    }
    auto& controls = m_children[frameId];
    controls = std::make_unique<DialogControls>(child);
    return *controls;
}

void COptionsSheet::ChildHost::DestroyChild(int frameId) {
    auto it = m_children.find(frameId);
    if (it == m_children.end()) {
        return;
    }
    if (it->second->Dialog() != nullptr) {
        DestroyWindow(it->second->Dialog());
    }
    m_children.erase(it);
}

Controls* COptionsSheet::ChildHost::Child(int frameId) {
    auto it = m_children.find(frameId);
    return it == m_children.end() ? nullptr : it->second.get();
}

INT_PTR CALLBACK COptionsSheet::ChildProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return FALSE;
    }
    auto* sheet = reinterpret_cast<COptionsSheet*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_COMMAND && sheet != nullptr) {
        sheet->ChildCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void RunOptionsCommand(HINSTANCE instance, const OptionsParts& parts, HWND owner, const MessageWaiter* waiter) {
    PrepareOptionsSheet(parts.paths, parts.settings, parts.masking);
    COptionsSheet sheet(instance, parts);
    sheet.SetCloseRequest(waiter);
    sheet.Show(owner);
}

} // namespace quorvel::win32

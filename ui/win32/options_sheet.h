#pragma once

#include "pages/child_dialog_host.h"
#include "pages/options_sheet_model.h"
#include "ui/win32/dialog_controls.h"

#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <string>

namespace quorvel::win32 {

class MessageWaiter;

// The options sheet on PropertySheetW: the five pages from their templates, OK, Cancel and Apply. A page's window
// is made when its tab is first shown; OK runs the OK step of every page shown (after every shown page has agreed
// to what was typed), Cancel stores nothing. No page marks itself changed, so Apply stays disabled.
class COptionsSheet {
public:
    COptionsSheet(HINSTANCE instance, const OptionsParts& parts);
    ~COptionsSheet();
    COptionsSheet(const COptionsSheet&) = delete;
    COptionsSheet& operator=(const COptionsSheet&) = delete;

    // When `waiter` is interrupted (the program is ending) the sheet closes as Cancel does.
    void SetCloseRequest(const MessageWaiter* waiter) { m_waiter = waiter; }
    // Called with the sheet's window once it exists (tests drive the sheet from here).
    void SetOnShown(std::function<void(HWND)> shown) { m_onShown = std::move(shown); }

    // Shows the sheet modally, owned by `owner`; returns when it is closed.
    void Show(HWND owner);

    const OptionsSheetModel& Model() const { return m_model; }
    // The controls of a page whose window exists, else null.
    DialogControls* PageControls(std::size_t index);
    HWND Sheet() const { return m_sheet; }
    bool Busy() const { return m_busy; }

    static constexpr std::size_t kProfilesCenter = 0;
    static constexpr std::size_t kMasking = 1;
    static constexpr std::size_t kOther = 2;
    static constexpr std::size_t kCountry = 3;
    static constexpr std::size_t kPrivacy = 4;

private:
    struct Page {
        COptionsSheet* sheet = nullptr;
        std::size_t index = 0;
        std::wstring title;
        std::unique_ptr<DialogControls> controls;
    };

    // The profiles center's child dialogs, each made from a template inside a frame of the page.
    class ChildHost final : public ChildDialogHost {
    public:
        explicit ChildHost(COptionsSheet& sheet) : m_sheet(sheet) {}
        Controls& HostChild(int frameId, int templateId) override;
        void DestroyChild(int frameId) override;
        Controls* Child(int frameId) override;

    private:
        COptionsSheet& m_sheet;
        std::map<int, std::unique_ptr<DialogControls>> m_children;
    };

    static INT_PTR CALLBACK PageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK ChildProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam);
    static LRESULT CALLBACK SheetSubclass(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR data);

    void InitPage(Page& page, HWND dialog);
    void Command(Page& page, int id, int code);
    void ChildCommand(int id, int code);
    // The sheet's OK: true when every page agreed and has stored its settings.
    bool OnOK();
    void ObtainCountries();
    void MeasureIconItem(MEASUREITEMSTRUCT& item) const;
    void DrawIconItem(const DRAWITEMSTRUCT& item) const;

    HINSTANCE m_instance;
    const LanguageFile& m_language;
    OptionsPages m_pages;
    OptionsSheetModel m_model;
    std::array<Page, 5> m_pageState;
    ChildHost m_children{*this};
    const MessageWaiter* m_waiter = nullptr;
    std::function<void(HWND)> m_onShown;
    HWND m_sheet = nullptr;
    HFONT m_boldFont = nullptr;
    bool m_busy = false;
    bool m_cancelled = false;
    // OK has stored every page: the pages asked after the first have nothing left to do.
    bool m_applied = false;
};

// The tray menu's Options command: finds the Mozilla profiles when needed, keeps their languages lines, and shows
// the sheet until it is closed.
void RunOptionsCommand(HINSTANCE instance, const OptionsParts& parts, HWND owner, const MessageWaiter* waiter);

} // namespace quorvel::win32

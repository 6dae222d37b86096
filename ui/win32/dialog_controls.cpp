#include "ui/win32/dialog_controls.h"

#include "platform/win32/wide_text.h"
#include "ui/win32/ui_thread.h"

#include <commctrl.h>

#include <cwchar>
#include <vector>

namespace quorvel::win32 {

namespace {

// The whole text of a window (an edit, a button, a combo box's edit part).
std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

enum class Kind { None, Button, Static, Edit, ComboBox, DropDownList, ListView, Progress, Other };

Kind KindOf(HWND control) {
    if (control == nullptr) {
        return Kind::None;
    }
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    if (_wcsicmp(name, L"Button") == 0) {
        return Kind::Button;
    }
    if (_wcsicmp(name, L"Static") == 0) {
        return Kind::Static;
    }
    if (_wcsicmp(name, L"Edit") == 0) {
        return Kind::Edit;
    }
    if (_wcsicmp(name, L"ComboBox") == 0) {
        return (style & 3) == CBS_DROPDOWNLIST ? Kind::DropDownList : Kind::ComboBox;
    }
    if (_wcsicmp(name, WC_LISTVIEWW) == 0) {
        return Kind::ListView;
    }
    if (_wcsicmp(name, PROGRESS_CLASSW) == 0) {
        return Kind::Progress;
    }
    return Kind::Other;
}

bool IsCombo(Kind kind) {
    return kind == Kind::ComboBox || kind == Kind::DropDownList;
}

// Buttons and labels take '&' as the mark of a shortcut key, unless told not to: a text shows as it is written.
bool TakesPrefix(HWND control, Kind kind) {
    return kind == Kind::Button || (kind == Kind::Static && (GetWindowLongPtrW(control, GWL_STYLE) & SS_NOPREFIX) == 0);
}

std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        out += c;
        if (c == L'&') {
            out += L'&';
        }
    }
    return out;
}

std::wstring Unescaped(const std::wstring& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == L'&' && i + 1 < text.size() && text[i + 1] == L'&') {
            ++i;
        }
    }
    return out;
}

} // namespace

HWND DialogControls::Item(int id) const {
    return m_dialog != nullptr ? GetDlgItem(m_dialog, id) : nullptr;
}

void DialogControls::SetText(int id, const std::string& text) {
    HWND control = Item(id);
    const Kind kind = KindOf(control);
    if (kind == Kind::None) {
        return;
    }
    const std::wstring wide = Widen(text);
    if (kind == Kind::DropDownList) {
        // A list without an edit can only show one of its entries.
        const LRESULT index =
            SendMessageW(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str()));
        if (index != CB_ERR) {
            SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        }
        return;
    }
    SetWindowTextW(control, TakesPrefix(control, kind) ? Escaped(wide).c_str() : wide.c_str());
}

std::string DialogControls::Text(int id) const {
    HWND control = Item(id);
    const Kind kind = KindOf(control);
    if (kind == Kind::None) {
        return {};
    }
    const std::wstring text = WindowText(control);
    return Narrow(TakesPrefix(control, kind) ? Unescaped(text) : text);
}

void DialogControls::SetCheck(int id, int state) {
    SendDlgItemMessageW(m_dialog, id, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

int DialogControls::Check(int id) const {
    if (KindOf(Item(id)) != Kind::Button) {
        return kUnchecked;
    }
    const LRESULT state = SendDlgItemMessageW(m_dialog, id, BM_GETCHECK, 0, 0);
    return state == BST_CHECKED ? kChecked : state == BST_INDETERMINATE ? kIndeterminate : kUnchecked;
}

void DialogControls::Enable(int id, bool enabled) {
    if (HWND control = Item(id)) {
        EnableWindow(control, enabled ? TRUE : FALSE);
    }
}

bool DialogControls::IsEnabled(int id) const {
    HWND control = Item(id);
    return control != nullptr && IsWindowEnabled(control) != FALSE;
}

void DialogControls::Show(int id, bool visible) {
    if (HWND control = Item(id)) {
        ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
    }
}

bool DialogControls::IsVisible(int id) const {
    HWND control = Item(id);
    // Its own state: a page that is not the current tab still has its visible controls.
    return control != nullptr && (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void DialogControls::ResetContent(int id) {
    if (IsCombo(KindOf(Item(id)))) {
        SendDlgItemMessageW(m_dialog, id, CB_RESETCONTENT, 0, 0);
    }
}

int DialogControls::AddString(int id, const std::string& text) {
    if (!IsCombo(KindOf(Item(id)))) {
        return -1;
    }
    const std::wstring wide = Widen(text);
    const LRESULT index = SendDlgItemMessageW(m_dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    return index < 0 ? -1 : static_cast<int>(index);
}

int DialogControls::Count(int id) const {
    if (!IsCombo(KindOf(Item(id)))) {
        return 0;
    }
    const LRESULT count = SendDlgItemMessageW(m_dialog, id, CB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<int>(count);
}

std::string DialogControls::ItemText(int id, int index) const {
    if (!IsCombo(KindOf(Item(id))) || index < 0) {
        return {};
    }
    const LRESULT length = SendDlgItemMessageW(m_dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendDlgItemMessageW(m_dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return Narrow(text);
}

void DialogControls::SetCurSel(int id, int index) {
    if (IsCombo(KindOf(Item(id)))) {
        SendDlgItemMessageW(m_dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

int DialogControls::CurSel(int id) const {
    if (!IsCombo(KindOf(Item(id)))) {
        return -1;
    }
    const LRESULT index = SendDlgItemMessageW(m_dialog, id, CB_GETCURSEL, 0, 0);
    return index < 0 ? -1 : static_cast<int>(index);
}

int DialogControls::FindStringExact(int id, const std::string& text) const {
    if (!IsCombo(KindOf(Item(id)))) {
        return -1;
    }
    const std::wstring wide = Widen(text);
    const LRESULT index = SendDlgItemMessageW(m_dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(wide.c_str()));
    return index < 0 ? -1 : static_cast<int>(index);
}

void DialogControls::InsertColumn(int id, int column, const std::string& heading, int width) {
    std::wstring text = Widen(heading);
    LVCOLUMNW lvc = {};
    lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    lvc.fmt = LVCFMT_LEFT;
    lvc.cx = width;
    lvc.pszText = text.data();
    lvc.iSubItem = column;
    SendDlgItemMessageW(m_dialog, id, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&lvc));
}

void DialogControls::DeleteAllItems(int id) {
    SendDlgItemMessageW(m_dialog, id, LVM_DELETEALLITEMS, 0, 0);
}

int DialogControls::InsertItem(int id, int row, const std::string& text) {
    if (KindOf(Item(id)) != Kind::ListView) {
        return -1;
    }
    std::wstring wide = Widen(text);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = wide.data();
    const LRESULT index = SendDlgItemMessageW(m_dialog, id, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return index < 0 ? -1 : static_cast<int>(index);
}

void DialogControls::SetItemText(int id, int row, int column, const std::string& text) {
    std::wstring wide = Widen(text);
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendDlgItemMessageW(m_dialog, id, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int DialogControls::ItemCount(int id) const {
    if (KindOf(Item(id)) != Kind::ListView) {
        return 0;
    }
    return static_cast<int>(SendDlgItemMessageW(m_dialog, id, LVM_GETITEMCOUNT, 0, 0));
}

std::string DialogControls::ItemText(int id, int row, int column) const {
    if (KindOf(Item(id)) != Kind::ListView || row < 0) {
        return {};
    }
    // The list view says only how much it copied: a buffer it filled to the brim may have been too small.
    for (std::size_t size = 256;; size *= 2) {
        std::vector<wchar_t> buffer(size, L'\0');
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        const LRESULT copied = SendDlgItemMessageW(m_dialog, id, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                                   reinterpret_cast<LPARAM>(&item));
        if (copied < static_cast<LRESULT>(size) - 1 || size >= 65536) {
            return Narrow(std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0)));
        }
    }
}

int DialogControls::SelectedRow(int id) const {
    if (KindOf(Item(id)) != Kind::ListView) {
        return -1;
    }
    const LRESULT row = SendDlgItemMessageW(m_dialog, id, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    return row < 0 ? -1 : static_cast<int>(row);
}

void DialogControls::SetRange(int id, int low, int high) {
    SendDlgItemMessageW(m_dialog, id, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
}

void DialogControls::SetPos(int id, int position) {
    SendDlgItemMessageW(m_dialog, id, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int DialogControls::Pos(int id) const {
    if (KindOf(Item(id)) != Kind::Progress) {
        return 0;
    }
    return static_cast<int>(SendDlgItemMessageW(m_dialog, id, PBM_GETPOS, 0, 0));
}

void DialogControls::SelectRow(int id, int row) {
    LVITEMW clear = {};
    clear.stateMask = LVIS_SELECTED;
    SendDlgItemMessageW(m_dialog, id, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    if (row >= 0) {
        LVITEMW select = {};
        select.stateMask = LVIS_SELECTED;
        select.state = LVIS_SELECTED;
        SendDlgItemMessageW(m_dialog, id, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                            reinterpret_cast<LPARAM>(&select));
    }
}

void DialogControls::SetFocus(int id) {
    if (HWND control = Item(id)) {
        SendMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

UiThreadControls::UiThreadControls(Controls& inner)
    : ForwardedControls(inner, [](const std::function<void()>& work) { UiThread::Run(work); }) {}

} // namespace quorvel::win32

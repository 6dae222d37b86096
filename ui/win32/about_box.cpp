#include "ui/win32/about_box.h"

#include "app/process_state.h"
#include "platform/win32/wide_text.h"

#include <string>

namespace quorvel::win32 {

namespace {

const wchar_t* const kNotice[] = {
    L"Tor is copyrighted by The Tor Project.",
    L"This product is produced independently from",
    L"the Tor\u2122 anonymity software and carries",
    L"no guarantee from The Tor Project about quality,",
    L"suitability or anything else.",
};

HFONT Arial(int height, int weight) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

// Each string is sized from its top-left corner first, then drawn into that rectangle.
void DrawAt(HDC dc, int left, int top, const std::wstring& text) {
    RECT box = {left, top, left, top};
    DrawTextW(dc, text.c_str(), -1, &box, DT_CALCRECT);
    DrawTextW(dc, text.c_str(), -1, &box, 0);
}

} // namespace

void CAbout::Show(HINSTANCE instance, HWND owner) {
    CAbout about;
    about.m_instance = instance;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(kTemplateId), owner, Proc, reinterpret_cast<LPARAM>(&about));
    if (about.m_memory != nullptr) {
        SelectObject(about.m_memory, about.m_oldBitmap);
        DeleteDC(about.m_memory);
    }
    if (about.m_bitmap != nullptr) {
        DeleteObject(about.m_bitmap);
    }
}

void CAbout::Compose(HWND dialog) {
    m_bitmap = static_cast<HBITMAP>(LoadImageW(m_instance, MAKEINTRESOURCEW(kPicture), IMAGE_BITMAP, 0, 0, 0));
    GetClientRect(dialog, &m_client);
    HDC client = GetDC(dialog);
    m_memory = CreateCompatibleDC(client);
    if (m_bitmap == nullptr) {
        // Without the picture the box is plain white below the text.
        m_bitmap = CreateCompatibleBitmap(client, m_client.right, m_client.bottom);
        m_oldBitmap = SelectObject(m_memory, m_bitmap);
        PatBlt(m_memory, 0, 0, m_client.right, m_client.bottom, WHITENESS);
    } else {
        m_oldBitmap = SelectObject(m_memory, m_bitmap);
    }
    GetObjectW(m_bitmap, sizeof(m_size), &m_size);
    SetBkMode(m_memory, TRANSPARENT);

    HFONT notice = Arial(16, FW_NORMAL);
    HGDIOBJ oldFont = SelectObject(m_memory, notice);
    SetTextColor(m_memory, RGB(0, 0, 0));
    int top = 35;
    for (std::size_t i = 0; i < std::size(kNotice); ++i) {
        DrawAt(m_memory, 225, top, kNotice[i]);
        top += i == 0 ? 30 : 15;
    }

    HFONT title = Arial(27, FW_SEMIBOLD);
    SelectObject(m_memory, title);
    SetTextColor(m_memory, RGB(255, 255, 255));
    DrawAt(m_memory, 60, 55, std::wstring(kEditionWord) + L" " + Widen(g_strVersion));

    SelectObject(m_memory, oldFont);
    DeleteObject(notice);
    DeleteObject(title);
    ReleaseDC(dialog, client);
}

void CAbout::Paint(HDC target) const {
    SetStretchBltMode(target, HALFTONE);
    StretchBlt(target, m_client.left, m_client.top, m_client.right - m_client.left, m_client.bottom - m_client.top,
               m_memory, 0, 0, m_size.bmWidth - 1, m_size.bmHeight - 1, SRCCOPY);
}

INT_PTR CALLBACK CAbout::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CAbout*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        self = reinterpret_cast<CAbout*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        self->Compose(dialog);
        return TRUE;
    case WM_ERASEBKGND:
        if (self != nullptr && self->m_memory != nullptr) {
            self->Paint(reinterpret_cast<HDC>(wParam));
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
            return TRUE;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace quorvel::win32

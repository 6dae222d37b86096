#pragma once

#include <windows.h>

namespace quorvel::win32 {

// The about box (template 104): the about picture filling the box, with the version title and Tor's notice
// drawn over it.
class CAbout {
public:
    static constexpr int kTemplateId = 104;
    static constexpr int kReportButton = 210;
    static constexpr int kPicture = 206;
    static constexpr const wchar_t* kEditionWord = L"Quorvel";

    static void Show(HINSTANCE instance, HWND owner);

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void Compose(HWND dialog);
    void Paint(HDC target) const;

    HINSTANCE m_instance = nullptr;
    HDC m_memory = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    BITMAP m_size = {};
    RECT m_client = {};
};

} // namespace quorvel::win32

#include "app/text_file.h"
#include "platform/private_profile.h"
#include "platform/win32/wide_text.h"
#include "support/test_environment.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

// "Grüße" and the euro sign: in the ANSI code pages of Western Europe, not in UTF-8 form.
const std::string kText = "Gr\xC3\xBC\xC3\x9F"
                          "e \xE2\x82\xAC";

std::string Ansi(const std::string& utf8) {
    const std::wstring wide = win32::Widen(utf8);
    std::string bytes(wide.size() * 4, '\0');
    bytes.resize(
        static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                                     bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

TEST(Win32TextFiles, WrittenInTheAnsiCodePageWithoutMarkAndEveryMarkRead) {
    ASSERT_NE(GetACP(), static_cast<UINT>(CP_UTF8));
    TempFolder folder;
    const std::string file = folder / "torrc";
    {
        CTextFileWrite out(file);
        out.Write(kText + "\r\n");
        ASSERT_TRUE(out.Close());
    }
    EXPECT_EQ(ReadFileBytes(file), Ansi(kText) + "\r\n");

    for (const std::string& bytes : {Ansi(kText), "\xEF\xBB\xBF" + kText,
                                     std::string("\xFF\xFEG\0r\0\xFC\0\xDF\0"
                                                 "e\0 \0\xAC\x20",
                                                 16)}) {
        WriteFileBytes(file, bytes);
        CTextFileRead in(file);
        std::string text;
        ASSERT_TRUE(in.Read(text));
        EXPECT_EQ(text, kText);
    }
}

TEST(Win32TextFiles, IniFilesAreAnsiAndReadAlikeByTheSystemsOwnFunctions) {
    TempFolder folder;
    const std::string file = folder / "settings.ini";
    ASSERT_TRUE(private_profile::WriteString(file, "Options Dialog", "Name", kText));
    EXPECT_EQ(ReadFileBytes(file).find("\xEF\xBB\xBF"), std::string::npos);
    EXPECT_NE(ReadFileBytes(file).find(Ansi(kText)), std::string::npos);

    wchar_t value[64] = {};
    GetPrivateProfileStringW(L"options dialog", L"NAME", L"", value, 64, win32::Widen(file).c_str());
    EXPECT_EQ(win32::Narrow(value), kText);
    EXPECT_EQ(private_profile::GetString(file, "OPTIONS DIALOG", "name", "", 64), kText);
}

} // namespace
} // namespace quorvel::test

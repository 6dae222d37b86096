#pragma once

#include "platform/win32/wide_text.h"

#include <string>

namespace quorvel::test {

// What a test can see only under Wine, said openly where it checks it.
inline bool UnderWine() {
    return win32::RunningUnderWine();
}

// Under Wine: the Unix path of a Windows path (wine_get_unix_file_name), and the Windows path of a Unix one
// (wine_get_dos_file_name). Empty when the conversion fails or outside Wine.
std::string UnixPathOf(const std::string& windowsPath);
std::string WindowsPathOf(const std::string& unixPath);

// This test program's own path, for tests that start it again as a child.
std::string OwnProgram();

} // namespace quorvel::test

#pragma once

#include "platform/paths.h"

namespace quorvel {

// The shell's folders, asked for without creating them, and the current directory as the program folder.
class Win32Paths final : public Paths {
public:
    std::string AppDataFolder() const override;                // CSIDL_APPDATA
    std::string HomeFolder() const override;                   // CSIDL_PROFILE
    std::string CacheFolder() const override;                  // CSIDL_LOCAL_APPDATA
    std::optional<std::string> CookiesFolder() const override; // CSIDL_COOKIES
    std::string ProgramFolder() const override;                // GetCurrentDirectoryW
};

} // namespace quorvel

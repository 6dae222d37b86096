// quorvel.exe: the Windows tray program.

#include "app/locations.h"
#include "platform/win32/win32_paths.h"
#include "platform/win32/win32_process_launcher.h"
#include "platform/win32/win32_track_files.h"
#include "platform/win32/win32_url.h"
#include "platform/win32/wininet_options.h"
#include "ui/win32/tray_program.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    quorvel::Win32Paths paths;
    quorvel::Win32ProcessLauncher launcher;
    quorvel::ShellUrlOpener opener;
    quorvel::WinInetOptions internetOptions;
    quorvel::WinInetUrlCache urlCache;
    quorvel::ComUrlHistory urlHistory;
    quorvel::Win32TrackFiles trackFiles;
    quorvel::RegistryStore registry(quorvel::RegistryFolder(paths));

    quorvel::win32::TrayProgram::Options options;
    options.owner = static_cast<quorvel::ProcessId>(GetCurrentProcessId());
    quorvel::win32::TrayProgram program(
        instance, paths, {launcher, opener, registry, internetOptions, urlCache, urlHistory, trackFiles}, options);
    if (!program.InitInstance()) {
        return 0; // another instance runs; this one ends silently
    }
    return quorvel::win32::TrayProgram::Run();
}

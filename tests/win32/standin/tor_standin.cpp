// Tor\tor.exe for a Windows program under Wine, where no Windows Tor can be had. Wine starts a Unix program, but
// the handle it gives for one ends at once, so a program that waits on its Tor would see it die at birth. This one
// starts the Unix script tor-unix beside it, with a file to write its process id to and then this program's own
// arguments, and lasts as long as that process does, as a real tor.exe would.
#include <windows.h>

#include <string>

namespace {

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The arguments as they were given, without the program's own name.
std::wstring OwnArguments() {
    const wchar_t* line = GetCommandLineW();
    if (*line == L'"') {
        for (++line; *line != L'\0' && *line != L'"'; ++line) {
        }
        if (*line == L'"') {
            ++line;
        }
    } else {
        while (*line != L'\0' && *line != L' ' && *line != L'\t') {
            ++line;
        }
    }
    while (*line == L' ' || *line == L'\t') {
        ++line;
    }
    return line;
}

std::string ReadSmallFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    char buffer[512];
    DWORD read = 0;
    const BOOL ok = ReadFile(file, buffer, sizeof(buffer), &read, nullptr);
    CloseHandle(file);
    return ok ? std::string(buffer, read) : std::string();
}

// Wine shows the Unix root as drive Z:. A process that has ended, or lingers unreaped, counts as gone.
bool UnixProcessRuns(const std::string& pid) {
    const std::string stat = ReadSmallFile(L"Z:\\proc\\" + std::wstring(pid.begin(), pid.end()) + L"\\stat");
    const auto end = stat.rfind(')');
    if (end == std::string::npos || end + 2 >= stat.size()) {
        return false;
    }
    const char state = stat[end + 2];
    return state != 'Z' && state != 'X';
}

} // namespace

int wmain() {
    const std::wstring folder = OwnFolder();
    const std::string unixPidFile = "/tmp/quorvel-tor-standin-" + std::to_string(GetCurrentProcessId()) + ".pid";
    const std::wstring pidFile = L"Z:" + std::wstring(unixPidFile.begin(), unixPidFile.end());
    DeleteFileW(pidFile.c_str());

    const std::wstring script = folder + L"tor-unix";
    std::wstring command = L"\"" + script + L"\" " + std::wstring(unixPidFile.begin(), unixPidFile.end());
    if (const std::wstring arguments = OwnArguments(); !arguments.empty()) {
        command += L" " + arguments;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(script.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    std::string pid;
    for (int tries = 0; tries < 200 && pid.empty(); ++tries) {
        Sleep(50);
        pid = ReadSmallFile(pidFile);
        while (!pid.empty() && (pid.back() == '\n' || pid.back() == '\r')) {
            pid.pop_back();
        }
    }
    if (pid.empty()) {
        return 1;
    }
    while (UnixProcessRuns(pid)) {
        Sleep(100);
    }
    DeleteFileW(pidFile.c_str());
    return 0;
}

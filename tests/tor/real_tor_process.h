#pragma once

// A real Debian tor for the tests that talk to it: its own data directory, the program's control port 9051 with
// the cookie (as the default torrc has it) or the program's password (as a torrc from before has it), no network
// and no SOCKS port, Debian's GeoIP files. It is killed when the object goes, and it ends by
// itself should the test process die first.

#include "platform/tcp_connection.h"
#include "support/test_environment.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace quorvel::test {

inline constexpr const char* kTorProgram = "/usr/sbin/tor";
inline constexpr std::uint16_t kRealControlPort = 9051;

enum class TorAuth { Cookie, Password };

class RealTor {
public:
    static bool Installed() { return ::access(kTorProgram, X_OK) == 0; }

    // Writes the torrc at `torrcPath` and starts tor on it; Error() says what went wrong.
    RealTor(const std::string& torrcPath, const std::string& dataFolder, TorAuth auth = TorAuth::Cookie) {
        if (TcpConnection::Connect(kRealControlPort)) {
            m_error = "something already listens on 127.0.0.1:9051; stop it (a running tor?) before these tests";
            return;
        }
        std::string authLine = "CookieAuthentication 1";
        if (auth == TorAuth::Password) {
            authLine = "HashedControlPassword " + HashedPassword();
            if (authLine.size() < 30) {
                m_error = "tor --hash-password gave no hash";
                return;
            }
        }
        MakeFolders(dataFolder);
        WriteFileBytes(torrcPath, "DataDirectory " + dataFolder + "\nControlPort 9051\n" + authLine +
                                      "\nDisableNetwork 1\nSocksPort 0\nGeoIPFile /usr/share/tor/geoip\n"
                                      "GeoIPv6File /usr/share/tor/geoip6\nLog notice file " +
                                      dataFolder + "/notices.log\n__OwningControllerProcess " +
                                      std::to_string(::getpid()) + "\n");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::string program = kTorProgram;
        std::string option = "-f";
        std::string path = torrcPath;
        char* argv[] = {program.data(), option.data(), path.data(), nullptr};
        int failed = posix_spawn(&m_pid, kTorProgram, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0) {
            m_pid = -1;
            m_error = "tor could not be started";
            return;
        }
        // Tor opens its control port a moment after it starts.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            if (HasExited()) {
                m_error = "tor ended at start; see " + dataFolder + "/notices.log";
                return;
            }
            if (TcpConnection::Connect(kRealControlPort)) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        m_error = "tor did not open 127.0.0.1:9051 within 30 seconds";
    }

    ~RealTor() {
        if (m_pid > 0 && !HasExited()) {
            ::kill(m_pid, SIGTERM);
            if (!WaitExited(std::chrono::seconds(5))) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, nullptr, 0);
            }
        }
    }
    RealTor(const RealTor&) = delete;
    RealTor& operator=(const RealTor&) = delete;

    const std::string& Error() const { return m_error; }

    bool WaitExited(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!HasExited()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

private:
    bool HasExited() {
        if (m_exited) {
            return true;
        }
        m_exited = m_pid <= 0 || ::waitpid(m_pid, nullptr, WNOHANG) == m_pid;
        return m_exited;
    }

    // The hash tor itself makes of the program's password: the last line of its output.
    static std::string HashedPassword() {
        FILE* pipe = ::popen("/usr/sbin/tor --hash-password Vintreal 2>/dev/null", "r");
        if (pipe == nullptr) {
            return {};
        }
        std::string last;
        char line[512];
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            std::string text = line;
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
                text.pop_back();
            }
            if (!text.empty()) {
                last = text;
            }
        }
        ::pclose(pipe);
        return last.starts_with("16:") ? last : std::string();
    }

    pid_t m_pid = -1;
    bool m_exited = false;
    std::string m_error;
};

} // namespace quorvel::test

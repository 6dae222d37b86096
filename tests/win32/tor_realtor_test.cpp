#include "app/language_file.h"
#include "app/locations.h"
#include "app/settings_store.h"
#include "platform/win32/win32_process_launcher.h"
#include "support/recording_ui.h"
#include "support/test_environment.h"
#include "support/test_paths.h"
#include "tor/control_socket.h"
#include "tor/reply_readers.h"
#include "tor/tor_controller.h"
#include "wine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace quorvel::test {
namespace {

using namespace std::chrono_literals;

// Tor started the way the program starts it: Tor\tor.exe below the program folder, hidden, with its arguments,
// and spoken to over Winsock on 127.0.0.1:9051. No Windows tor.exe exists on the build machine; under Wine a
// Unix script named tor.exe starts like a program, so the build's stand-in folder holds one that runs Debian's
// tor with the same arguments. Tor, being a Linux program there, gets the Unix paths of its files.
class Win32RealTorTest : public ::testing::Test {
protected:
    TestEnvironment env;
    TestPaths paths;
    SettingsStore settings{paths};
    LanguageFile language{paths, settings};
    RecordingUi ui;
    Win32ProcessLauncher launcher;

    void SetUp() override {
        ASSERT_TRUE(UnderWine()) << "on Windows, put tor.exe of Tor's expert bundle into " QUORVEL_TOR_STANDIN;
        const std::string standin = WindowsPathOf(QUORVEL_TOR_STANDIN);
        ASSERT_FALSE(standin.empty());
        std::filesystem::current_path(standin); // the program folder
        ASSERT_TRUE(std::filesystem::exists(TorExecutablePath(paths))) << TorExecutablePath(paths);
        ASSERT_FALSE(TcpConnection::Connect(TorController::kControlPort)) << "something already listens on 9051";

        const std::string data = UnixPathOf(env.Root() + "\\tor-data");
        MakeFolders(env.Root() + "\\tor-data");
        // Our own Unix process id, which Wine shows as /proc/self: tor ends with this test even if it crashes.
        const std::string stat = ReadFileBytes("Z:\\proc\\self\\stat");
        const std::string owner = stat.substr(0, stat.find(' '));
        WriteFileBytes(TorrcPath(paths), "DataDirectory " + data + "\nControlPort 9051\nHashedControlPassword " +
                                             ReadFileBytes(QUORVEL_TOR_STANDIN "/password-hash") +
                                             "\nDisableNetwork 1\nSocksPort 0\nGeoIPFile /usr/share/tor/geoip\n"
                                             "Log notice file " +
                                             data + "/notices.log\n" +
                                             (owner.empty() ? "" : "__OwningControllerProcess " + owner + "\n"));
        auto pid = launcher.Launch(TorExecutablePath(paths), {"-f", UnixPathOf(TorrcPath(paths))});
        ASSERT_TRUE(pid);
        for (int i = 0; i < 300 && !TcpConnection::Connect(TorController::kControlPort); ++i) {
            std::this_thread::sleep_for(100ms);
        }
    }
};

TEST_F(Win32RealTorTest, TorExeStartedHiddenAnswersOverWinsockAndHaltEndsIt) {
    TorController tor(ui, language, settings, paths);
    ASSERT_TRUE(tor.Connect());
    EXPECT_TRUE(tor.NewIdentity());

    auto socket = ControlSocket::Connect(TorController::kControlPort);
    ASSERT_TRUE(socket);
    std::string text;
    ASSERT_TRUE(socket->Send("AUTHENTICATE \"Vintreal\"\r\n"));
    ASSERT_TRUE(ReadCommandReply(*socket, text));
    EXPECT_EQ(text, "250 OK");
    ASSERT_TRUE(socket->Send("getinfo ip-to-country/8.8.8.8\r\n"));
    EXPECT_TRUE(ReadReply(*socket, text));
    EXPECT_EQ(text, "250-ip-to-country/8.8.8.8=us\r\n250");

    tor.Halt();
    // Wine's process handle of a Unix program ends at once and tells nothing; the port going away does.
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        gone = !TcpConnection::Connect(TorController::kControlPort);
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_TRUE(gone);
    EXPECT_TRUE(ui.Events().empty());
}

} // namespace
} // namespace quorvel::test

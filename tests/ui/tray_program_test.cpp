// The tray program put together, against a scripted control port and a stand-in Tor: it starts surfing by
// itself, its menu drives the session and the web pages, and Exit stops before the program ends.

#include "app/locations.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "pages/tray_commands.h"
#include "platform/internet_options_store.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "platform/url_opener.h"
#include "qt_test_support.h"
#include "support/fake_control_port.h"
#include "support/test_environment.h"
#include "ui/tray_program.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QTimer>

#include <sys/stat.h>

namespace quorvel::test {
namespace {

class RecordingOpener : public UrlOpener {
public:
    bool Open(const std::string& url) override {
        opened.push_back(url);
        return true;
    }
    std::vector<std::string> opened;
};

class TrayProgramTest : public QtTest {
protected:
    TrayProgramTest() {
        PrepareTrayProgramFolders(env, TorrcPath(paths), SettingsFilePath(paths));
        for (int i = 0; i < 16; ++i) {
            fake.NextConnection().Answer([](const std::string& line) -> std::optional<std::string> {
                if (line == "GETINFO status/circuit-established") {
                    return "250-status/circuit-established=1\r\n250 OK\r\n";
                }
                return "250 OK\r\n";
            });
        }
    }

    void Choose(int id) {
        if (QAction* action = Find(program->Tray().Menu(), id)) {
            action->trigger();
        } else {
            ADD_FAILURE() << "no menu item " << id;
        }
    }
    static QAction* Find(QMenu* menu, int id) {
        for (QAction* action : menu->actions()) {
            if (action->menu() != nullptr) {
                if (QAction* inner = Find(action->menu(), id)) {
                    return inner;
                }
            } else if (!action->isSeparator() && action->data().toInt() == id) {
                return action;
            }
        }
        return nullptr;
    }

    std::string Everything() const {
        std::string all;
        for (std::size_t i = 0; i < fake.Accepted(); ++i) {
            all += fake.Received(i);
        }
        return all;
    }

    TestEnvironment env;
    LinuxPaths paths;
    FakeControlPort fake;
    RecordingOpener opener;
    std::unique_ptr<TrayProgram> program =
        std::make_unique<TrayProgram>(paths, TrayProgram::Options{fake.Port(), std::nullopt}, &opener);
};

TEST_F(TrayProgramTest, StartsSurfingByItselfAndTheMenuDrivesIt) {
    bool finished = false;
    QObject::connect(program.get(), &TrayProgram::finished, [&] { finished = true; });
    ASSERT_TRUE(program->InitInstance());
    ASSERT_TRUE(TurnUntil([&] { return program->Session().IsRunning() && !program->Tray().IsBusy(); }));
    EXPECT_EQ(program->Tray().Menu()->actions().front()->text(), "Stop anonymous surfing");

    Choose(command::kPrivacyTest);
    Choose(command::kSupport);
    ASSERT_TRUE(TurnUntil([&] { return opener.opened.size() == 2; }));
    EXPECT_EQ(opener.opened[0], "http://quorvel.example/privacy_test.php?ref=quorvel-tray&ver=2.0");
    EXPECT_EQ(opener.opened[1], "http://quorvel.example/support/");

    Choose(command::kStrongMode);
    ASSERT_TRUE(
        TurnUntil([&] { return ReadFileBytes(TorrcPath(paths)).find("TunnelDirConns 0") != std::string::npos; }));
    SettingsStore settings(paths);
    EXPECT_EQ(settings.ReadInt(settings::kMainMenu, settings::kMode, -1), 1);

    Choose(command::kExit);
    ASSERT_TRUE(TurnUntil([&] { return finished; }));
    EXPECT_FALSE(program->Session().IsRunning());
    EXPECT_FALSE(settings.ReadBool(settings::kTorSettings, settings::kIsTorRunning, true));
    const std::string sent = Everything();
    EXPECT_NE(sent.rfind("SIGNAL HALT\r\n"), sent.find("SIGNAL HALT\r\n")) << "halted at Start and at Exit";
}

TEST_F(TrayProgramTest, ASecondInstanceEndsWithoutStartingAnything) {
    ASSERT_TRUE(program->InitInstance());
    RecordingOpener otherOpener;
    TrayProgram second(paths, TrayProgram::Options{fake.Port(), std::nullopt}, &otherOpener);
    EXPECT_FALSE(second.InitInstance());
    EXPECT_FALSE(second.Tray().Icon()->isVisible());
    ASSERT_TRUE(TurnUntil([&] { return program->Session().IsRunning() && !program->Tray().IsBusy(); }));
    EXPECT_FALSE(second.Session().IsRunning());
    program->Tray().RunCommand(command::kExit);
}

TEST_F(TrayProgramTest, ASessionThatWasNeverStoppedIsUndoneBeforeTheFirstStart) {
    // What a crashed session left: Internet Explorer pointed at Tor, the user's own direct setting in the backup.
    SettingsStore settings(paths);
    settings.WriteBool(settings::kTorSettings, settings::kIsTorRunning, true);
    settings.WriteString(settings::kIeProxyBackup, settings::kLanSettings, "1");
    settings.WriteString(settings::kIeProxyBackup, settings::kLan, " ");
    RegistryStore registry(RegistryFolder(paths));
    InternetOptionsStore options(registry);
    ASSERT_TRUE(options.SetConnectionProxy(std::nullopt, {kProxyTypeDirect | kProxyTypeProxy, "socks=127.0.0.1:9050"}));

    ASSERT_TRUE(program->InitInstance());
    ASSERT_TRUE(TurnUntil([&] { return program->Session().IsRunning() && !program->Tray().IsBusy(); }));
    // The Start backed up the restored setting, not the redirection, so Exit brings the user's own back.
    EXPECT_EQ(settings.ReadString(settings::kIeProxyBackup, settings::kLanSettings, ""), "1");
    program->Tray().RunCommand(command::kExit);
    ConnectionProxy after;
    ASSERT_TRUE(options.QueryConnectionProxy(std::nullopt, after));
    EXPECT_EQ(after.flags, kProxyTypeDirect);
}

// At logout the programs must be put back before the desktop kills the program: no box may hold Stop.
TEST_F(TrayProgramTest, ATerminationRequestRestoresFirefoxBeforeAnyBox) {
    SettingsStore settings(paths);
    settings.WriteBool(settings::kOptionsDialog, settings::kFirstStart, false);
    const std::string profile = env.Home() + "/ff";
    WriteFileBytes(profile + "/prefs.js", "user_pref(\"a\", 1);\n");
    settings.WriteString(settings::kOptionsDialog, settings::kFirefoxProfile, profile);
    settings.WriteBool(settings::kAnonymization, settings::kFirefox, true);
    auto redirected = [&] {
        return ReadFileBytes(profile + "/user.js").find("\"network.proxy.socks\", \"127.0.0.1\"") != std::string::npos;
    };
    // Every modal box is answered; what user.js held when it came up is noted.
    std::vector<bool> redirectedAtBox;
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            redirectedAtBox.push_back(redirected());
            modal->close();
        }
    });
    boxes.start(50);

    ASSERT_TRUE(program->InitInstance());
    ASSERT_TRUE(TurnUntil([&] { return program->Session().IsRunning() && !program->Tray().IsBusy(); }));
    ASSERT_TRUE(redirected());
    redirectedAtBox.clear();
    program->Tray().RequestExit();
    EXPECT_FALSE(redirected());
    ProcessEvents();
    EXPECT_TRUE(redirectedAtBox.empty());
}

} // namespace
} // namespace quorvel::test

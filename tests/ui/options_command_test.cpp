// Options from the tray menu: the sheet opens after the profiles were found, and a country selected on it
// restarts the running session so that Tor uses the new exits.

#include "app/locations.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "pages/tray_commands.h"
#include "platform/paths.h"
#include "qt_test_support.h"
#include "support/fake_control_port.h"
#include "support/test_environment.h"
#include "ui/country_select_page_widget.h"
#include "ui/options_sheet.h"
#include "ui/tray_program.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

#include <sys/stat.h>

namespace quorvel::test {
namespace {

std::optional<std::string> AnswerLikeTor(const std::string& line) {
    if (line == "GETINFO status/circuit-established") {
        return "250-status/circuit-established=1\r\n250 OK\r\n";
    }
    if (line == "GETINFO ns/all") {
        return "250+ns/all=\r\n"
               "r alpha AAECAwQFBgcICQoLDA0ODxAREhM BBBB 2038-01-01 00:00:00 10.0.0.1 9001 0\r\ns Exit Fast Running "
               "Valid\r\n"
               "r bravo AAAA BBBB 2038-01-01 00:00:00 10.0.0.2 9001 0\r\ns Fast Running Valid\r\n"
               "r charlie //////////////////////////8 BBBB 2038-01-01 00:00:00 10.0.0.3 9001 0\r\ns Exit Running "
               "Valid\r\n"
               ".\r\n250 OK\r\n";
    }
    const std::string query = "getinfo ip-to-country/";
    if (line.rfind(query, 0) == 0) {
        return "250-ip-to-country/" + line.substr(query.size()) + "=de\r\n250 OK\r\n";
    }
    return "250 OK\r\n";
}

class OptionsCommandTest : public QtTest {
protected:
    OptionsCommandTest() {
        PrepareTrayProgramFolders(env, TorrcPath(paths), SettingsFilePath(paths));
        for (int i = 0; i < 32; ++i) {
            fake.NextConnection().Answer(AnswerLikeTor);
        }
    }

    void ChooseOptions() {
        for (QAction* action : program->Tray().Menu()->actions()) {
            if (action->data().toInt() == command::kOptions) {
                action->trigger();
                return;
            }
        }
        ADD_FAILURE() << "the menu offers no Options";
    }

    // Answers the next message box (not the sheet) with OK, noting its text.
    void WhenMessageShown(std::string& text) {
        auto* poll = new QTimer(&TestApp());
        QObject::connect(poll, &QTimer::timeout, [poll, &text] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                poll->stop();
                poll->deleteLater();
                text = box->text().toStdString();
                box->button(QMessageBox::Ok)->click();
            }
        });
        poll->start(10);
    }

    // How many times Tor was told to halt, on every connection so far.
    std::size_t Halts() const {
        std::size_t count = 0;
        for (std::size_t i = 0; i < fake.Accepted(); ++i) {
            const std::string received = fake.Received(i);
            for (auto at = received.find("SIGNAL HALT"); at != std::string::npos;
                 at = received.find("SIGNAL HALT", at + 1)) {
                ++count;
            }
        }
        return count;
    }

    TestEnvironment env;
    LinuxPaths paths;
    SettingsStore settings{paths};
    FakeControlPort fake;
    std::unique_ptr<TrayProgram> program =
        std::make_unique<TrayProgram>(paths, TrayProgram::Options{fake.Port(), std::nullopt});
};

TEST_F(OptionsCommandTest, TheSheetOpensFromTheMenuAndACountryRestartsSurfing) {
    const std::string profile = env.Home() + "/.mozilla/firefox/Profiles/abc.default";
    WriteFileBytes(profile + "/times.json", "{}\n"); // as the browser makes a profile
    WriteFileBytes(env.Home() + "/.mozilla/firefox/profiles.ini", "[Profile0]\nPath=Profiles/abc.default\n");
    ASSERT_TRUE(program->InitInstance());
    ASSERT_TRUE(TurnUntil([&] { return program->Session().IsRunning() && !program->Tray().IsBusy(); }));
    const std::size_t connectionsBefore = fake.Accepted();
    const std::size_t haltsBefore = Halts();

    bool sheetSeen = false;
    std::string message;
    WhenModalShown([&](QWidget* modal) {
        auto* sheet = qobject_cast<COptionsSheet*>(modal);
        ASSERT_NE(sheet, nullptr);
        sheetSeen = true;
        EXPECT_EQ(sheet->windowTitle(), "Options");
        // The profile was found before the sheet showed.
        EXPECT_EQ(settings.ReadString(settings::kOptionsDialog, settings::kFirefoxProfile, ""), profile);

        sheet->Tabs()->setCurrentIndex(3);
        auto* page = qobject_cast<CountrySelectPageWidget*>(sheet->PageWidget(3));
        ASSERT_NE(page, nullptr);
        page->findChild<QPushButton*>("1086")->click();
        ASSERT_EQ(page->PageControls().ItemCount(1081), 1);
        EXPECT_EQ(page->PageControls().ItemText(1081, 0, 1), "2");
        page->PageControls().SelectRow(1081, 0);

        WhenMessageShown(message);
        page->findChild<QPushButton*>("1083")->click();
        sheet->findChild<QPushButton*>("1")->click();
    });
    ChooseOptions();
    ASSERT_TRUE(TurnUntil([&] { return sheetSeen && !program->Tray().IsBusy(); }));

    EXPECT_EQ(message, "Country selected, IP addresses added.");
    EXPECT_EQ(settings.ReadString(settings::kCountrySelection, settings::kCurrentCountry, ""), "Germany");
    EXPECT_NE(ReadFileBytes(TorrcPath(paths))
                  .find("StrictExitNodes 1\r\nExitNodes $000102030405060708090A0B0C0D0E0F10111213, $" +
                        std::string(40, 'F') + "\r\n"),
              std::string::npos);
    EXPECT_TRUE(program->Session().IsRunning());
    EXPECT_GT(Halts(), haltsBefore) << "the session was stopped";
    EXPECT_GT(fake.Accepted(), connectionsBefore) << "and started again";
    program->Tray().RunCommand(command::kExit);
}

} // namespace
} // namespace quorvel::test

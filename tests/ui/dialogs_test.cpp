// The mode dialog, the about box, and the Qt side of the Ui port: boxes, answers and calls from other threads.

#include "app/language_file.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "platform/paths.h"
#include "qt_test_support.h"
#include "support/test_environment.h"
#include "ui/about_dialog.h"
#include "ui/artwork.h"
#include "ui/gui_thread.h"
#include "ui/qt_ui.h"
#include "ui/select_mode_dialog.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSystemTrayIcon>

#include <future>
#include <thread>

namespace quorvel::test {
namespace {

using namespace std::chrono_literals;

class DialogsTest : public QtTest {
protected:
    DialogsTest() { MakeFolders(env.AppData() + "/Quorvel"); }

    // Keeps the user-interface thread turning until the answer from another thread is in.
    template <typename T> T Await(std::future<T>& answer) {
        QElapsedTimer clock;
        clock.start();
        while (answer.wait_for(0s) != std::future_status::ready && !clock.hasExpired(10000)) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return answer.get();
    }

    static void PressEscape(QWidget* widget) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
    }

    TestEnvironment env;
    LinuxPaths paths;
    SettingsStore settings{paths};
    LanguageFile language{paths, settings};
    ModeChoice inForce = ModeChoice::Fast;
    QtUi ui{language, [this] { return inForce; }};
};

TEST_F(DialogsTest, TheModeDialogOpensOnFastModeWithItsFixedWords) {
    CSelectMode dialog(language);
    EXPECT_EQ(dialog.objectName(), "199");
    EXPECT_EQ(dialog.windowTitle(), "Select the mode");
    auto* fast = dialog.findChild<QRadioButton*>("1079");
    auto* strong = dialog.findChild<QRadioButton*>("1080");
    ASSERT_NE(fast, nullptr);
    ASSERT_NE(strong, nullptr);
    EXPECT_EQ(fast->text(), "Fast mode (more speed)");
    EXPECT_EQ(strong->text(), "Strong anonymity mode (more anonymity)");
    EXPECT_TRUE(fast->isChecked());
    EXPECT_EQ(dialog.Choice(), ModeChoice::Fast);
    bool sentence = false;
    for (auto* label : dialog.findChildren<QLabel*>()) {
        sentence |= label->text() == "Please select the mode. You can change it at any moment in the \"Mode\" menu.";
    }
    EXPECT_TRUE(sentence);
    strong->click();
    EXPECT_EQ(dialog.Choice(), ModeChoice::Strong);
}

TEST_F(DialogsTest, TheModeDialogsRadioTextsAreTranslatedButItsCaptionIsNot) {
    WriteFileBytes(env.ProgramFolder() + "/lang/Deutsch.ini",
                   "[Main menu]\nFast mode=Schnell\nmore speed=mehr Tempo\nStrong anonymity mode=Stark\n");
    settings.WriteString(settings::kOptionsDialog, settings::kLanguage, "Deutsch");
    CSelectMode dialog(language);
    EXPECT_EQ(dialog.findChild<QRadioButton*>("1079")->text(), "Schnell (mehr Tempo)");
    EXPECT_EQ(dialog.findChild<QRadioButton*>("1080")->text(), "Stark (more anonymity)");
    EXPECT_EQ(dialog.windowTitle(), "Select the mode");
}

TEST_F(DialogsTest, AskModeGivesTheChoiceOrKeepsTheModeWhenDismissed) {
    WhenModalShown([](QWidget* modal) {
        modal->findChild<QRadioButton*>("1080")->click();
        modal->findChild<QPushButton*>("1")->click();
    });
    EXPECT_EQ(ui.AskMode(), ModeChoice::Strong);

    inForce = ModeChoice::Strong;
    WhenModalShown([](QWidget* modal) { PressEscape(modal); });
    EXPECT_EQ(ui.AskMode(), ModeChoice::Strong);

    inForce = ModeChoice::Fast;
    WhenModalShown([](QWidget* modal) {
        modal->findChild<QRadioButton*>("1080")->click();
        PressEscape(modal);
    });
    EXPECT_EQ(ui.AskMode(), ModeChoice::Fast);
}

TEST_F(DialogsTest, MessageBoxesHaveTheCaptionIconAndButtonsAsked) {
    WhenModalShown([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Quorvel");
        EXPECT_EQ(box->text(), "Restart Firefox?");
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(ui.ShowMessage("Quorvel", "Restart Firefox?", MessageIcon::Question, MessageButtons::YesNo,
                             MessageOwner::MainWindow),
              MessageResult::No);

    WhenModalShown([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        PressEscape(box);
    });
    EXPECT_EQ(
        ui.ShowMessage("Quorvel", "Tor not found!", MessageIcon::Error, MessageButtons::Ok, MessageOwner::MainWindow),
        MessageResult::Ok);

    WhenModalShown([](QWidget* modal) { PressEscape(modal); });
    EXPECT_EQ(
        ui.ShowMessage("Quorvel", "Close ICQ", MessageIcon::Warning, MessageButtons::YesNoCancel, MessageOwner::None),
        MessageResult::Cancel);
}

TEST_F(DialogsTest, ABoxAskedForFromAnotherThreadIsShownByTheUserInterfaceThread) {
    QThread* shownOn = nullptr;
    WhenModalShown([&](QWidget* modal) {
        shownOn = modal->thread();
        qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
    });
    std::promise<MessageResult> promise;
    auto answer = promise.get_future();
    std::thread watcher([&] {
        promise.set_value(ui.ShowMessage("Quorvel", "No operational servers", MessageIcon::Warning,
                                         MessageButtons::OkCancel, MessageOwner::None));
    });
    EXPECT_EQ(Await(answer), MessageResult::Ok);
    watcher.join();
    EXPECT_EQ(shownOn, TestApp().thread());
}

TEST_F(DialogsTest, AnotherThreadIsNotKeptWaitingOnceTheProgramHasEnded) {
    MarkGuiThreadEnded();
    std::thread watcher([&] {
        EXPECT_EQ(OnGuiThread([] { return 7; }), 0);
        EXPECT_EQ(ui.ShowMessage("Quorvel", "late", MessageIcon::None, MessageButtons::YesNo, MessageOwner::None),
                  MessageResult::Ok);
    });
    watcher.join();
    MarkGuiThreadEnded(false);
    ProcessEvents(); // the dropped calls come and do nothing
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(DialogsTest, TheFolderPickerStartsInTheGivenFolderAndCanBeCancelled) {
    const std::string start = env.Home();
    MakeFolders(start + "/profile");
    WhenModalShown([&](QWidget* modal) {
        auto* picker = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->windowTitle(), "Path to profile");
        EXPECT_EQ(picker->directory().absolutePath().toStdString(), start);
        picker->setDirectory(QString::fromStdString(start + "/profile"));
        QMetaObject::invokeMethod(picker, "accept");
    });
    EXPECT_EQ(ui.PickFolder("Path to profile", start), start + "/profile");

    WhenModalShown([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(ui.PickFolder("Path to profile", start), std::nullopt);
}

TEST_F(DialogsTest, TheTrayIconShowsTheStateAskedFor) {
    QSystemTrayIcon icon(TrayIcon(181));
    ui.SetTrayIcon(&icon);
    ui.UpdateTrayIcon(130, "Quorvel");
    EXPECT_EQ(icon.icon().pixmap(16, 16).toImage(), TrayIcon(130).pixmap(16, 16).toImage());
    EXPECT_EQ(icon.toolTip(), "Quorvel");
    ui.UpdateTrayIcon(std::nullopt, "busy");
    EXPECT_EQ(icon.icon().pixmap(16, 16).toImage(), TrayIcon(130).pixmap(16, 16).toImage());
    EXPECT_EQ(icon.toolTip(), "busy");
    ui.ShowBalloon("Quorvel", "Please wait while Tor builds a circuit.");
    ui.SetTrayIcon(nullptr);
    ui.UpdateTrayIcon(181, "gone"); // no icon: nothing happens
    EXPECT_EQ(icon.toolTip(), "busy");
}

TEST_F(DialogsTest, TheAboutBoxDrawsTheTitleAndTheNoticeOnThePicture) {
    CAbout about;
    EXPECT_EQ(about.objectName(), "104");
    auto* ok = about.findChild<QPushButton*>("1");
    auto* report = about.findChild<QPushButton*>("210");
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_TRUE(report->isHidden());
    EXPECT_EQ(CAbout::Title(), "Quorvel 2.0");
    EXPECT_EQ(CAbout::NoticeLines(),
              (QStringList{"Tor is copyrighted by The Tor Project.", "This product is produced independently from",
                           "the Tor\u2122 anonymity software and carries",
                           "no guarantee from The Tor Project about quality,", "suitability or anything else."}));

    const QImage bare = Picture(206).convertToFormat(QImage::Format_ARGB32);
    const QImage drawn = about.Composed().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(drawn.size(), bare.size());
    EXPECT_EQ(about.size(), bare.size());

    auto changedIn = [&](QRect area, auto test) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                count += drawn.pixel(x, y) != bare.pixel(x, y) && test(QColor(drawn.pixel(x, y))) ? 1 : 0;
            }
        }
        return count;
    };
    // White title letters on the dark band, dark notice letters on the light part, each where the layout says.
    EXPECT_GT(changedIn(QRect(60, 55, 140, 30), [](QColor c) { return c.lightness() > 200; }), 100);
    EXPECT_EQ(changedIn(QRect(0, 0, 60, 300), [](QColor) { return true; }), 0);
    EXPECT_GT(changedIn(QRect(225, 35, 250, 16), [](QColor c) { return c.lightness() < 80; }), 100);
    EXPECT_GT(changedIn(QRect(225, 110, 150, 16), [](QColor c) { return c.lightness() < 80; }), 20);
    EXPECT_EQ(changedIn(QRect(225, 20, 300, 14), [](QColor) { return true; }), 0) << "nothing above the first line";
    // Every notice line fits on the picture.
    EXPECT_EQ(changedIn(QRect(bare.width() - 4, 30, 4, 120), [](QColor) { return true; }), 0);

    WhenModalShown([](QWidget* modal) { modal->findChild<QPushButton*>("1")->click(); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

} // namespace
} // namespace quorvel::test

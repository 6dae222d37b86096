#pragma once

// What the Qt tests share: one QApplication for the whole test program (offscreen, no X server), and a way to
// act on a modal window once it is up.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <sys/stat.h>

#include "support/test_environment.h"

namespace quorvel::test {

inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    // Made once and never destroyed: the tests' static objects may still hold widgets at exit.
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        auto* made = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        return made;
    }();
    return *app;
}

class QtTest : public ::testing::Test {
protected:
    QtTest() { TestApp(); }
};

// Runs `act` on the modal window as soon as one is shown (checked every 10 ms, for at most 5 s).
inline void WhenModalShown(const std::function<void(QWidget*)>& act) {
    auto* poll = new QTimer(&TestApp());
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, clock, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            delete clock;
            act(modal);
        } else if (clock->hasExpired(5000)) {
            poll->stop();
            poll->deleteLater();
            delete clock;
            ADD_FAILURE() << "no modal window came up";
        }
    });
    poll->start(10);
}

// Lets queued calls run.
inline void ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
}

// Turns the event loop until `done` holds (for at most 15 s); returns whether it does.
template <typename Done> bool TurnUntil(Done done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && !clock.hasExpired(15000)) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// A stand-in Tor in the program folder that lives a moment, a torrc, and settings past the first start, for
// tests that run the whole tray program against a scripted control port.
inline void PrepareTrayProgramFolders(const TestEnvironment& env, const std::string& torrc,
                                      const std::string& settingsFile) {
    const std::string tor = env.ProgramFolder() + "/Tor/tor";
    WriteFileBytes(tor, "#!/bin/sh\nsleep 0.2\n");
    ::chmod(tor.c_str(), 0755);
    WriteFileBytes(torrc, "ControlPort 9051\nSocksPort 9050\n");
    WriteFileBytes(settingsFile, "[Options Dialog]\nFirst start=0\n");
}

} // namespace quorvel::test

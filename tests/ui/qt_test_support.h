#pragma once

// What the Qt tests share: one QApplication for the whole test program (offscreen, no X server), and a way to
// act on a modal window once it is up.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

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

} // namespace quorvel::test

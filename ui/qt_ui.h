#pragma once

#include "platform/ui.h"

#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>

class QWidget;

namespace quorvel {

class LanguageFile;

// The Ui port on Qt Widgets. Every call may come from any thread and is carried out on the user-interface
// thread; the calling thread waits for the answer.
class QtUi final : public Ui {
public:
    // `modeInForce` answers the mode dialog when it is closed without OK, so the stored mode stays as it was.
    QtUi(const LanguageFile& language, std::function<ModeChoice()> modeInForce);

    // The notification icon that balloons and icon updates go to; none until the tray window sets it.
    void SetTrayIcon(QSystemTrayIcon* icon);

    MessageResult ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                              MessageButtons buttons, MessageOwner owner) override;
    void ShowBalloon(const std::string& title, const std::string& text) override;
    void UpdateTrayIcon(std::optional<int> iconId, const std::string& tip) override;
    ModeChoice AskMode() override;
    std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) override;

    // The program is told to end (a termination signal, the end of the desktop session): every open dialog and
    // box is closed, and until EndEnding nothing waits for a person, so that Stop puts every program back at once.
    // An OK box then follows as a notice that does not block; any other box answers as if closed; the mode
    // dialog keeps the mode in force; the folder picker picks nothing.
    void BeginEnding();
    void EndEnding();
    bool IsEnding() const { return m_ending; }

    // How long a balloon stays; the desktop may keep it longer.
    static constexpr int kBalloonMilliseconds = 10000;

private:
    static QWidget* OwnerWidget(MessageOwner owner);

    const LanguageFile& m_language;
    std::function<ModeChoice()> m_modeInForce;
    QPointer<QSystemTrayIcon> m_trayIcon;
    // User-interface thread only, like everything the calls do.
    bool m_ending = false;
};

} // namespace quorvel

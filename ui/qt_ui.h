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

    // How long a balloon stays; the desktop may keep it longer.
    static constexpr int kBalloonMilliseconds = 10000;

private:
    static QWidget* OwnerWidget(MessageOwner owner);

    const LanguageFile& m_language;
    std::function<ModeChoice()> m_modeInForce;
    QPointer<QSystemTrayIcon> m_trayIcon;
};

} // namespace quorvel

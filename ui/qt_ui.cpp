#include "ui/qt_ui.h"

#include "ui/artwork.h"
#include "ui/gui_thread.h"
#include "ui/select_mode_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace quorvel {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// What a box answers when it is closed without a button: the way out it offers.
MessageResult EscapeAnswer(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel:
        return MessageResult::Cancel;
    case MessageButtons::YesNo:
        return MessageResult::No;
    case MessageButtons::Ok:
        break;
    }
    return MessageResult::Ok;
}

} // namespace

QtUi::QtUi(const LanguageFile& language, std::function<ModeChoice()> modeInForce)
    : m_language(language), m_modeInForce(std::move(modeInForce)) {}

void QtUi::SetTrayIcon(QSystemTrayIcon* icon) {
    OnGuiThread([this, icon] { m_trayIcon = icon; });
}

QWidget* QtUi::OwnerWidget(MessageOwner owner) {
    if (owner == MessageOwner::ActiveDialog) {
        return QApplication::activeModalWidget();
    }
    // The tray window is never shown: boxes of the main window stand alone, modal to the whole program.
    return nullptr;
}

MessageResult QtUi::ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                                MessageButtons buttons, MessageOwner owner) {
    return OnGuiThread([&]() -> MessageResult {
        QMessageBox box(BoxIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                        BoxButtons(buttons), OwnerWidget(owner));
        box.setWindowModality(owner == MessageOwner::ActiveDialog ? Qt::WindowModal : Qt::ApplicationModal);
        // The first button is the default one: Enter answers OK or Yes.
        box.setDefaultButton(buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
                                 ? QMessageBox::Yes
                                 : QMessageBox::Ok);
        box.exec();
        QAbstractButton* clicked = box.clickedButton();
        if (clicked == nullptr) {
            return EscapeAnswer(buttons);
        }
        switch (box.standardButton(clicked)) {
        case QMessageBox::Ok:
            return MessageResult::Ok;
        case QMessageBox::Yes:
            return MessageResult::Yes;
        case QMessageBox::No:
            return MessageResult::No;
        case QMessageBox::Cancel:
            return MessageResult::Cancel;
        default:
            return EscapeAnswer(buttons);
        }
    });
}

void QtUi::ShowBalloon(const std::string& title, const std::string& text) {
    OnGuiThread([&] {
        if (m_trayIcon) {
            m_trayIcon->showMessage(QString::fromStdString(title), QString::fromStdString(text),
                                    QSystemTrayIcon::Information, kBalloonMilliseconds);
        }
    });
}

void QtUi::UpdateTrayIcon(std::optional<int> iconId, const std::string& tip) {
    OnGuiThread([&] {
        if (!m_trayIcon) {
            return;
        }
        if (iconId) {
            QIcon icon = TrayIcon(*iconId);
            if (!icon.isNull()) {
                m_trayIcon->setIcon(icon);
            }
        }
        m_trayIcon->setToolTip(QString::fromStdString(tip));
    });
}

ModeChoice QtUi::AskMode() {
    return OnGuiThread([&]() -> ModeChoice {
        CSelectMode dialog(m_language, QApplication::activeModalWidget());
        if (dialog.exec() == QDialog::Accepted) {
            return dialog.Choice();
        }
        return m_modeInForce ? m_modeInForce() : ModeChoice::Fast;
    });
}

std::optional<std::string> QtUi::PickFolder(const std::string& title, const std::string& startFolder) {
    return OnGuiThread([&]() -> std::optional<std::string> {
        const QString folder = QFileDialog::getExistingDirectory(
            QApplication::activeModalWidget(), QString::fromStdString(title), QString::fromStdString(startFolder));
        if (folder.isEmpty()) {
            return std::nullopt;
        }
        return folder.toStdString();
    });
}

} // namespace quorvel

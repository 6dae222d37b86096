#include "ui/qt_ui.h"

#include "ui/artwork.h"
#include "ui/gui_thread.h"
#include "ui/select_mode_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

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

// Shown once the event loop turns again, that is after the running step (Stop's restore) is done.
void ShowNoticeLater(QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QTimer::singleShot(0, QCoreApplication::instance(), [icon, caption, text] {
        auto* box = new QMessageBox(icon, caption, text, QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    });
}

} // namespace

QtUi::QtUi(const LanguageFile& language, std::function<ModeChoice()> modeInForce)
    : m_language(language), m_modeInForce(std::move(modeInForce)) {}

void QtUi::SetTrayIcon(QSystemTrayIcon* icon) {
    OnGuiThread([this, icon] { m_trayIcon = icon; });
}

void QtUi::BeginEnding() {
    OnGuiThread([this] {
        m_ending = true;
        // Each closed dialog's own loop returns as soon as this call has; nested ones one after the other.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(window); dialog != nullptr && dialog->isVisible()) {
                dialog->reject();
            }
        }
    });
}

void QtUi::EndEnding() {
    OnGuiThread([this] { m_ending = false; });
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
        if (m_ending) {
            if (buttons == MessageButtons::Ok) {
                ShowNoticeLater(BoxIcon(icon), QString::fromStdString(caption), QString::fromStdString(text));
            }
            return EscapeAnswer(buttons);
        }
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
        if (m_ending) {
            return m_modeInForce ? m_modeInForce() : ModeChoice::Fast;
        }
        CSelectMode dialog(m_language, QApplication::activeModalWidget());
        if (dialog.exec() == QDialog::Accepted) {
            return dialog.Choice();
        }
        return m_modeInForce ? m_modeInForce() : ModeChoice::Fast;
    });
}

std::optional<std::string> QtUi::PickFolder(const std::string& title, const std::string& startFolder) {
    return OnGuiThread([&]() -> std::optional<std::string> {
        if (m_ending) {
            return std::nullopt;
        }
        const QString folder = QFileDialog::getExistingDirectory(
            QApplication::activeModalWidget(), QString::fromStdString(title), QString::fromStdString(startFolder));
        if (folder.isEmpty()) {
            return std::nullopt;
        }
        return folder.toStdString();
    });
}

} // namespace quorvel

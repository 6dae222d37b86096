#pragma once

#include <optional>
#include <string>

namespace quorvel {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageResult { Ok, Cancel, Yes, No };

// Which window a message box belongs to. The box is modal to that window; with None it stands alone
// (used for boxes shown from the event watcher thread and from pages that pass no owner).
enum class MessageOwner { None, MainWindow, ActiveDialog };

// The choice of the modal mode dialog.
enum class ModeChoice { Fast = 0, Strong = 1 };

// Everything the core shows a person. The Qt layer implements it; tests use a recording fake that scripts
// the answers. Every call may come from any thread: an implementation brings it to its user-interface thread.
class Ui {
public:
    virtual ~Ui() = default;

    virtual MessageResult ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                                      MessageButtons buttons, MessageOwner owner) = 0;
    // A balloon tip at the notification icon (kind information).
    virtual void ShowBalloon(const std::string& title, const std::string& text) = 0;
    // Updates the notification icon: a resource id (181 stopped or busy, 130 running), or nothing to keep the
    // current picture; and its tip.
    virtual void UpdateTrayIcon(std::optional<int> iconId, const std::string& tip) = 0;
    // The modal "Select the mode" dialog; returns the radio button chosen when OK closes it.
    virtual ModeChoice AskMode() = 0;
    // The folder picker; nothing when the user cancels.
    virtual std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) = 0;
};

// The caption of every message box.
inline constexpr const char* kMessageCaption = "Quorvel";

} // namespace quorvel

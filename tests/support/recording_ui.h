#pragma once

#include "platform/ui.h"

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::test {

// A Ui that records everything shown, in order, and answers from a script. Message boxes without a scripted
// answer get OK (or Yes for Yes/No boxes); the mode dialog answers Fast unless scripted. Thread-safe, since the
// event watcher shows boxes from its own thread.
class RecordingUi : public Ui {
public:
    struct Event {
        enum class Kind { Message, Balloon, TrayIcon, ModeDialog, FolderPicker } kind;
        std::string caption; // message caption or balloon title
        std::string text;    // message text, balloon text or tray tip
        MessageIcon icon = MessageIcon::None;
        MessageButtons buttons = MessageButtons::Ok;
        MessageOwner owner = MessageOwner::None;
        std::optional<int> iconId; // tray icon
    };

    MessageResult ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                              MessageButtons buttons, MessageOwner owner) override;
    void ShowBalloon(const std::string& title, const std::string& text) override;
    void UpdateTrayIcon(std::optional<int> iconId, const std::string& tip) override;
    ModeChoice AskMode() override;
    std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) override;

    // Scripting.
    void AnswerNextMessage(MessageResult answer);
    void AnswerNextMode(ModeChoice choice);
    void AnswerNextFolder(std::optional<std::string> folder);

    std::vector<Event> Events() const;
    std::vector<Event> Messages() const; // only the message boxes
    std::vector<std::string> MessageTexts() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::vector<Event> m_events;
    std::deque<MessageResult> m_messageAnswers;
    std::deque<ModeChoice> m_modeAnswers;
    std::deque<std::optional<std::string>> m_folderAnswers;
};

} // namespace quorvel::test

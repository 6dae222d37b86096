#include "support/recording_ui.h"

namespace quorvel::test {

MessageResult RecordingUi::ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                                       MessageButtons buttons, MessageOwner owner) {
    std::lock_guard lock(m_mutex);
    m_events.push_back({Event::Kind::Message, caption, text, icon, buttons, owner, std::nullopt});
    if (!m_messageAnswers.empty()) {
        MessageResult answer = m_messageAnswers.front();
        m_messageAnswers.pop_front();
        return answer;
    }
    switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return MessageResult::Yes;
    default:
        return MessageResult::Ok;
    }
}

void RecordingUi::ShowBalloon(const std::string& title, const std::string& text) {
    std::lock_guard lock(m_mutex);
    m_events.push_back({Event::Kind::Balloon, title, text, MessageIcon::Information, MessageButtons::Ok,
                        MessageOwner::None, std::nullopt});
}

void RecordingUi::UpdateTrayIcon(std::optional<int> iconId, const std::string& tip) {
    std::lock_guard lock(m_mutex);
    m_events.push_back(
        {Event::Kind::TrayIcon, "", tip, MessageIcon::None, MessageButtons::Ok, MessageOwner::None, iconId});
}

ModeChoice RecordingUi::AskMode() {
    std::lock_guard lock(m_mutex);
    m_events.push_back(
        {Event::Kind::ModeDialog, "", "", MessageIcon::None, MessageButtons::Ok, MessageOwner::MainWindow, {}});
    if (!m_modeAnswers.empty()) {
        ModeChoice choice = m_modeAnswers.front();
        m_modeAnswers.pop_front();
        return choice;
    }
    return ModeChoice::Fast;
}

std::optional<std::string> RecordingUi::PickFolder(const std::string& title, const std::string& startFolder) {
    std::lock_guard lock(m_mutex);
    m_events.push_back({Event::Kind::FolderPicker, title, startFolder, MessageIcon::None, MessageButtons::Ok,
                        MessageOwner::ActiveDialog, std::nullopt});
    if (!m_folderAnswers.empty()) {
        auto folder = m_folderAnswers.front();
        m_folderAnswers.pop_front();
        return folder;
    }
    return std::nullopt;
}

void RecordingUi::AnswerNextMessage(MessageResult answer) {
    std::lock_guard lock(m_mutex);
    m_messageAnswers.push_back(answer);
}

void RecordingUi::AnswerNextMode(ModeChoice choice) {
    std::lock_guard lock(m_mutex);
    m_modeAnswers.push_back(choice);
}

void RecordingUi::AnswerNextFolder(std::optional<std::string> folder) {
    std::lock_guard lock(m_mutex);
    m_folderAnswers.push_back(std::move(folder));
}

std::vector<RecordingUi::Event> RecordingUi::Events() const {
    std::lock_guard lock(m_mutex);
    return m_events;
}

std::vector<RecordingUi::Event> RecordingUi::Messages() const {
    std::lock_guard lock(m_mutex);
    std::vector<Event> out;
    for (const auto& e : m_events) {
        if (e.kind == Event::Kind::Message) {
            out.push_back(e);
        }
    }
    return out;
}

std::vector<std::string> RecordingUi::MessageTexts() const {
    std::vector<std::string> out;
    for (const auto& e : Messages()) {
        out.push_back(e.text);
    }
    return out;
}

void RecordingUi::Clear() {
    std::lock_guard lock(m_mutex);
    m_events.clear();
}

} // namespace quorvel::test

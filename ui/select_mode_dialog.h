#pragma once

#include "platform/ui.h"

#include <QDialog>

class QRadioButton;

namespace quorvel {

class LanguageFile;

// "Select the mode": asked at the first start of anonymous surfing. Radio 1079 is fast mode (chosen when the
// dialog opens), radio 1080 strong anonymity mode. The caption and the sentence are fixed; the radio texts come
// from the language file.
class CSelectMode : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 199;
    static constexpr int kFastRadio = 1079;
    static constexpr int kStrongRadio = 1080;

    explicit CSelectMode(const LanguageFile& language, QWidget* parent = nullptr);

    // The choice the radio buttons show now.
    ModeChoice Choice() const;

private:
    QRadioButton* m_fast = nullptr;
    QRadioButton* m_strong = nullptr;
};

} // namespace quorvel

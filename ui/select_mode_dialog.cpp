#include "ui/select_mode_dialog.h"

#include "tor/anonymity_mode.h"
#include "ui/artwork.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorvel {

namespace {

QLabel* ModeIcon(int bitmapId) {
    auto* label = new QLabel;
    label->setPixmap(MenuBitmap(bitmapId, 2.0));
    label->setFixedSize(32, 32);
    label->setScaledContents(true);
    return label;
}

} // namespace

CSelectMode::CSelectMode(const LanguageFile& language, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(kTemplateId));
    setWindowTitle(QStringLiteral("Select the mode"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto* sentence =
        new QLabel(QStringLiteral("Please select the mode. You can change it at any moment in the \"Mode\" menu."));
    sentence->setWordWrap(true);
    sentence->setMinimumWidth(380);

    m_fast = new QRadioButton(QString::fromStdString(FastModeRadioText(language)));
    m_fast->setObjectName(QString::number(kFastRadio));
    m_strong = new QRadioButton(QString::fromStdString(StrongModeRadioText(language)));
    m_strong->setObjectName(QString::number(kStrongRadio));
    m_fast->setChecked(true);

    auto* choices = new QGridLayout;
    choices->addWidget(ModeIcon(art::kFastModeChosen), 0, 0);
    choices->addWidget(m_fast, 0, 1);
    choices->addWidget(ModeIcon(art::kStrongModeChosen), 1, 0);
    choices->addWidget(m_strong, 1, 1);
    choices->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sentence);
    layout->addSpacing(6);
    layout->addLayout(choices);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

ModeChoice CSelectMode::Choice() const {
    return m_strong->isChecked() ? ModeChoice::Strong : ModeChoice::Fast;
}

} // namespace quorvel

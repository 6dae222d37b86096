#include "ui/other_page_widget.h"

#include "pages/other_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace quorvel {

namespace {

using Page = COtherPage;

// The edits take digits only, as many as are typed: the range is checked at OK.
void DigitsOnly(QLineEdit* edit) {
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setMaximumWidth(90);
}

} // namespace

OtherPageWidget::OtherPageWidget(COtherPage& page, QWidget* parent)
    : OptionsPageWidget(Page::kTemplate, parent), m_page(page) {
    auto* note = Make<QLabel>(Page::kTakesEffectNote);
    note->setWordWrap(true);

    auto* port = Make<QGroupBox>(Page::kPortGroup);
    auto* portLabel = Make<QLabel>(Page::kPortLabel, port);
    portLabel->setWordWrap(true);
    auto* portEdit = Make<QLineEdit>(Page::kPortEdit, port);
    DigitsOnly(portEdit);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(portEdit);
    portRow->addWidget(Make<QLabel>(Page::kPortDefault, port));
    portRow->addStretch(1);
    auto* portLayout = new QVBoxLayout(port);
    portLayout->addWidget(portLabel);
    portLayout->addLayout(portRow);

    auto* period = Make<QGroupBox>(Page::kPeriodGroup);
    auto* periodLabel = Make<QLabel>(Page::kPeriodLabel, period);
    periodLabel->setWordWrap(true);
    auto* periodEdit = Make<QLineEdit>(Page::kPeriodEdit, period);
    DigitsOnly(periodEdit);
    auto* periodRow = new QHBoxLayout;
    periodRow->addWidget(periodEdit);
    periodRow->addWidget(Make<QLabel>(Page::kMinutesLabel, period));
    periodRow->addStretch(1);
    auto* periodLayout = new QVBoxLayout(period);
    periodLayout->addWidget(periodLabel);
    periodLayout->addLayout(periodRow);

    auto* language = Make<QGroupBox>(Page::kLanguageGroup);
    auto* languageBox = Make<QComboBox>(Page::kLanguageBox, language);
    languageBox->setEditable(true);
    languageBox->setInsertPolicy(QComboBox::NoInsert);
    languageBox->setMinimumWidth(180);
    auto* languageLayout = new QHBoxLayout(language);
    languageLayout->addWidget(languageBox);
    languageLayout->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(port);
    layout->addWidget(period);
    layout->addWidget(language);
    layout->addWidget(Make<QCheckBox>(Page::kBalloonTipsBox));
    layout->addStretch(1);

    // Only a picked entry counts; typing into the box changes nothing.
    connect(languageBox, &QComboBox::activated, this, [this] { m_page.OnLanguageSelected(m_controls); });
}

} // namespace quorvel

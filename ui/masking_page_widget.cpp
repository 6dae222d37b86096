#include "ui/masking_page_widget.h"

#include "masking/masking_page_ids.h"
#include "pages/masking_page.h"
#include "ui/page_icons.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorvel {

namespace {

using namespace masking_page;

constexpr int kSoftwareIcon = 204;
constexpr int kLanguageIcon = 189;

QLabel* Decoration(int iconId, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::number(iconId));
    label->setPixmap(PageIcon(iconId).pixmap(32, 32));
    label->setFixedSize(32, 32);
    return label;
}

} // namespace

MaskingPageWidget::MaskingPageWidget(CMaskingPage& page, QWidget* parent)
    : OptionsPageWidget(kDialogTemplate, parent), m_page(page) {
    auto* applicable = Make<QLabel>(kApplicableTo);
    applicable->setWordWrap(true);

    auto* software = Make<QGroupBox>(kSoftwareGroup);
    auto* softwareRadios = new QHBoxLayout;
    for (int id : {kSoftwareDefault, kSoftwareInvisible, kSoftwareMasked}) {
        softwareRadios->addWidget(Make<QRadioButton>(id, software));
    }
    softwareRadios->addWidget(Make<QLabel>(kRecommend, software));
    softwareRadios->addStretch(1);

    auto* boxes = new QGridLayout;
    const int rows[][2] = {{kOsLabel, kOsBox}, {kOsVersionLabel, kOsVersionBox}};
    const int columns[][2] = {{kBrowserLabel, kBrowserBox}, {kBrowserVersionLabel, kBrowserVersionBox}};
    for (int i = 0; i < 2; ++i) {
        auto* left = Make<QComboBox>(rows[i][1], software);
        auto* right = Make<QComboBox>(columns[i][1], software);
        for (QComboBox* box : {left, right}) {
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->setMinimumWidth(140);
        }
        boxes->addWidget(Make<QLabel>(rows[i][0], software), i, 0);
        boxes->addWidget(left, i, 1);
        boxes->addWidget(Make<QLabel>(columns[i][0], software), i, 2);
        boxes->addWidget(right, i, 3);
    }
    boxes->setColumnStretch(1, 1);
    boxes->setColumnStretch(3, 1);
    auto* softwareLayout = new QGridLayout(software);
    softwareLayout->addWidget(Decoration(kSoftwareIcon, software), 0, 0, 2, 1, Qt::AlignTop);
    softwareLayout->addLayout(softwareRadios, 0, 1);
    softwareLayout->addLayout(boxes, 1, 1);

    auto* language = Make<QGroupBox>(kLanguageGroup);
    auto* languageRadios = new QHBoxLayout;
    for (int id : {kLanguageDefault, kLanguageInvisible, kLanguageMasked}) {
        languageRadios->addWidget(Make<QRadioButton>(id, language));
    }
    languageRadios->addStretch(1);
    auto* languageBox = Make<QComboBox>(kLanguageBox, language);
    languageBox->setEditable(true);
    languageBox->setInsertPolicy(QComboBox::NoInsert);
    languageBox->setMaxVisibleItems(20);
    auto* languageLayout = new QGridLayout(language);
    languageLayout->addWidget(Decoration(kLanguageIcon, language), 0, 0, 2, 1, Qt::AlignTop);
    languageLayout->addLayout(languageRadios, 0, 1);
    languageLayout->addWidget(languageBox, 1, 1);

    auto* note = Make<QLabel>(kTakesEffectNote);
    note->setWordWrap(true);
    auto* reset = Make<QPushButton>(kResetButton);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(note, 1);
    bottom->addWidget(reset);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(applicable);
    layout->addWidget(software);
    layout->addWidget(language);
    layout->addStretch(1);
    layout->addLayout(bottom);

    auto* os = findChild<QComboBox*>(QString::number(kOsBox));
    auto* osVersion = findChild<QComboBox*>(QString::number(kOsVersionBox));
    auto* browser = findChild<QComboBox*>(QString::number(kBrowserBox));
    connect(os, &QComboBox::activated, this, [this] { m_page.OnOsSelected(m_controls); });
    connect(osVersion, &QComboBox::activated, this, [this] { m_page.OnOsVersionSelected(m_controls); });
    connect(browser, &QComboBox::activated, this, [this] { m_page.OnBrowserSelected(m_controls); });
    for (int id : {kSoftwareDefault, kSoftwareInvisible, kSoftwareMasked}) {
        connect(findChild<QRadioButton*>(QString::number(id)), &QRadioButton::clicked, this,
                [this, id] { m_page.OnSoftwareModeClicked(m_controls, id); });
    }
    for (int id : {kLanguageDefault, kLanguageInvisible, kLanguageMasked}) {
        connect(findChild<QRadioButton*>(QString::number(id)), &QRadioButton::clicked, this,
                [this, id] { m_page.OnLanguageModeClicked(m_controls, id); });
    }
    connect(reset, &QPushButton::clicked, this, [this] { m_page.OnResetToDefault(m_controls); });
}

} // namespace quorvel

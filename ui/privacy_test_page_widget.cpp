#include "ui/privacy_test_page_widget.h"

#include "pages/privacy_test_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorvel {

namespace {
using Page = CPrivacyTestPage;
}

PrivacyTestPageWidget::PrivacyTestPageWidget(CPrivacyTestPage& page, QWidget* parent)
    : OptionsPageWidget(Page::kTemplate, parent), m_page(page) {
    auto* custom = Make<QCheckBox>(Page::kCustomBox);
    auto* addresses = new QGridLayout;
    for (std::size_t i = 0; i < Page::kRadios.size(); ++i) {
        auto* radio = Make<QRadioButton>(Page::kRadios[i]);
        radio->setText(QStringLiteral("http://"));
        auto* edit = Make<QLineEdit>(Page::kEdits[i]);
        edit->setMinimumWidth(280);
        addresses->addWidget(radio, static_cast<int>(i), 0);
        addresses->addWidget(edit, static_cast<int>(i), 1);
    }
    addresses->setColumnStretch(1, 1);
    addresses->setContentsMargins(20, 0, 0, 0);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(custom);
    layout->addLayout(addresses);
    layout->addStretch(1);

    connect(custom, &QCheckBox::clicked, this, [this] { m_page.OnCustomClicked(m_controls); });
}

} // namespace quorvel

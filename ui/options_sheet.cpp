#include "ui/options_sheet.h"

#include "ui/country_select_page_widget.h"
#include "ui/masking_page_widget.h"
#include "ui/other_page_widget.h"
#include "ui/privacy_test_page_widget.h"
#include "ui/profiles_center_page_widget.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace quorvel {

namespace {
// How often the sheet looks whether the program wants it closed.
constexpr int kCloseRequestPollMs = 100;
} // namespace

COptionsSheet::COptionsSheet(const OptionsParts& parts, QWidget* parent)
    : QDialog(parent), m_pages(parts), m_model(m_pages.InTabOrder()), m_widgets(m_model.PageCount(), nullptr) {
    setObjectName(QStringLiteral("options sheet"));
    setWindowTitle(QString::fromStdString(OptionsSheetModel::Caption(parts.language)));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    m_tabs = new QTabWidget(this);
    // Every tab title is shown whole, as the sheet's width allows for them all.
    m_tabs->setUsesScrollButtons(false);
    m_tabs->setElideMode(Qt::ElideNone);
    for (std::size_t i = 0; i < m_model.PageCount(); ++i) {
        // An empty holder until the tab is first shown.
        auto* holder = new QWidget;
        holder->setObjectName(QStringLiteral("tab %1").arg(i + 1));
        auto* holderLayout = new QVBoxLayout(holder);
        holderLayout->setContentsMargins(0, 0, 0, 0);
        m_tabs->addTab(holder, QString::fromStdString(m_model.Page(i).Title()));
    }

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    m_buttons->button(QDialogButtonBox::Ok)->setObjectName(QString::number(kOkButton));
    m_buttons->button(QDialogButtonBox::Cancel)->setObjectName(QString::number(kCancelButton));
    m_buttons->button(QDialogButtonBox::Apply)->setObjectName(QString::number(kApplyButton));
    m_buttons->button(QDialogButtonBox::Apply)->setEnabled(false);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &COptionsSheet::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &COptionsSheet::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);

    m_tabs->setCurrentIndex(0);
    connect(m_tabs, &QTabWidget::currentChanged, this, &COptionsSheet::ShowPage);
}

COptionsSheet::~COptionsSheet() {
    // The page widgets refer to the pages: they go first.
    for (OptionsPageWidget* widget : m_widgets) {
        delete widget;
    }
}

void COptionsSheet::SetCloseRequest(std::function<bool()> closeRequested) {
    m_closeRequested = std::move(closeRequested);
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this] {
        if (m_closeRequested && m_closeRequested() && !Busy() && isVisible()) {
            reject();
        }
    });
    poll->start(kCloseRequestPollMs);
}

OptionsPageWidget* COptionsSheet::PageWidget(std::size_t index) const {
    return index < m_widgets.size() ? m_widgets[index] : nullptr;
}

void COptionsSheet::setVisible(bool visible) {
    // The first page is made before the sheet takes its size, so the sheet fits it.
    if (visible) {
        ShowPage(m_tabs->currentIndex());
    }
    QDialog::setVisible(visible);
}

void COptionsSheet::ShowPage(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_widgets.size() || m_widgets[index] != nullptr) {
        return;
    }
    OptionsPageWidget* widget = MakePageWidget(static_cast<std::size_t>(index));
    m_widgets[index] = widget;
    m_tabs->widget(index)->layout()->addWidget(widget);
    widget->show();
    m_model.Show(static_cast<std::size_t>(index), widget->PageControls());
    if (isVisible()) {
        // A larger page makes the sheet grow; it never shrinks under the user's hands.
        m_tabs->widget(index)->layout()->activate();
        layout()->activate();
        resize(size().expandedTo(sizeHint()));
    }
}

OptionsPageWidget* COptionsSheet::MakePageWidget(std::size_t index) {
    QWidget* holder = m_tabs->widget(static_cast<int>(index));
    switch (index) {
    case 0:
        return new ProfilesCenterPageWidget(m_pages.profilesCenter, holder);
    case 1:
        return new MaskingPageWidget(m_pages.masking, holder);
    case 2:
        return new OtherPageWidget(m_pages.other, holder);
    case 3:
        return new CountrySelectPageWidget(m_pages.country, holder);
    default:
        return new PrivacyTestPageWidget(m_pages.privacy, holder);
    }
}

bool COptionsSheet::Busy() const {
    auto* country = qobject_cast<CountrySelectPageWidget*>(PageWidget(3));
    return country != nullptr && country->IsBusy();
}

void COptionsSheet::accept() {
    if (Busy()) {
        return;
    }
    if (const auto refused = m_model.OnOK()) {
        m_tabs->setCurrentIndex(static_cast<int>(*refused));
        return;
    }
    QDialog::accept();
}

void COptionsSheet::reject() {
    if (Busy()) {
        return;
    }
    m_model.OnCancel();
    QDialog::reject();
}

} // namespace quorvel

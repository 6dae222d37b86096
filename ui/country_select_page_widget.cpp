#include "ui/country_select_page_widget.h"

#include "pages/country_select_page.h"
#include "ui/report_list_view.h"
#include "ui/without_user_input.h"

#include <QGridLayout>
#include <QProgressBar>
#include <QPushButton>

namespace quorvel {

namespace {
using Page = CCountrySelectPage;
}

CountrySelectPageWidget::CountrySelectPageWidget(CCountrySelectPage& page, QWidget* parent)
    : OptionsPageWidget(Page::kTemplate, parent), m_page(page) {
    auto* list = new ReportListView(this);
    list->setObjectName(QString::number(Page::kCountryList));
    list->SetColumnAlignment(1, Qt::AlignCenter);
    list->setMinimumSize(Page::kCountryColumnWidth + Page::kCountColumnWidth + 24, 220);
    auto* obtain = Make<QPushButton>(Page::kObtainButton);
    auto* progress = Make<QProgressBar>(Page::kProgressBar);
    progress->setTextVisible(false);
    auto* select = Make<QPushButton>(Page::kSelectButton);
    auto* cancel = Make<QPushButton>(Page::kCancelSelectionButton);

    auto* layout = new QGridLayout(this);
    layout->addWidget(list, 0, 0, 1, 2);
    layout->addWidget(obtain, 1, 0);
    layout->addWidget(progress, 1, 1);
    layout->addWidget(select, 2, 0);
    layout->addWidget(cancel, 3, 0);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(0, 1);

    connect(obtain, &QPushButton::clicked, this, &CountrySelectPageWidget::ObtainList);
    connect(select, &QPushButton::clicked, this, [this] { m_page.OnSelectCountry(m_controls); });
    connect(cancel, &QPushButton::clicked, this, [this] { m_page.OnCancelCountry(); });
}

void CountrySelectPageWidget::ObtainList() {
    if (m_busy) {
        return;
    }
    m_busy = true;
    int currentRow = -1;
    GuiThreadControls fromWorker(m_controls);
    RunWithoutUserInput([&] { currentRow = m_page.OnObtainList(fromWorker); });
    m_busy = false;
    m_controls.SetFocus(Page::kCountryList);
    m_controls.SelectRow(Page::kCountryList, currentRow);
}

} // namespace quorvel

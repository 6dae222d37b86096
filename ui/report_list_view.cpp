#include "ui/report_list_view.h"

#include <QHeaderView>
#include <QPalette>

namespace quorvel {

ReportListView::ReportListView(QWidget* parent) : QTableWidget(parent) {
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    // The selection keeps its colour when the list loses the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight, colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
}

void ReportListView::SetColumnAlignment(int column, Qt::Alignment alignment) {
    m_alignments[column] = alignment;
}

Qt::Alignment ReportListView::ColumnAlignment(int column) const {
    auto it = m_alignments.find(column);
    return it == m_alignments.end() ? (Qt::AlignLeft | Qt::AlignVCenter) : it->second;
}

} // namespace quorvel

#pragma once

#include <QTableWidget>

#include <map>

namespace quorvel {

// A list view in report style: rows of cells under column headings, drawn with grid lines, selected whole
// rows at a time, one row at most; the selection stays visible when the list has no focus.
class ReportListView final : public QTableWidget {
    Q_OBJECT
public:
    explicit ReportListView(QWidget* parent = nullptr);

    // How the cells of a column are aligned (left unless set).
    void SetColumnAlignment(int column, Qt::Alignment alignment);
    Qt::Alignment ColumnAlignment(int column) const;

private:
    std::map<int, Qt::Alignment> m_alignments;
};

} // namespace quorvel

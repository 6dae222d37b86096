#include "ui/ex_combo_box.h"

#include "ui/page_icons.h"

#include <QAbstractItemView>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace quorvel {

namespace {

// Draws every entry of the open list with its icon and a bold label.
class BoldEntryDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->font.setBold(true);
        option->decorationSize = QSize(16, 16);
    }
};

} // namespace

CExComboBox::CExComboBox(std::function<int(int, const std::string&)> iconOf, QWidget* parent)
    : QComboBox(parent), m_iconOf(std::move(iconOf)) {
    setIconSize(QSize(16, 16));
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    view()->setItemDelegate(new BoldEntryDelegate(view()));
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { OnRowsInserted(first, last); });
}

void CExComboBox::OnRowsInserted(int first, int last) {
    if (!m_iconOf) {
        return;
    }
    for (int row = first; row <= last; ++row) {
        const int icon = m_iconOf(row, itemText(row).toStdString());
        if (icon != 0) {
            setItemIcon(row, PageIcon(icon));
        }
    }
}

void CExComboBox::paintEvent(QPaintEvent* /*event*/) {
    // The closed box shows the chosen entry the way the list does: icon and bold label.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

} // namespace quorvel

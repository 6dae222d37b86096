#include "ui/widget_controls.h"

#include "ui/gui_thread.h"
#include "ui/report_list_view.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableWidget>

#include <algorithm>

namespace quorvel {

namespace {

constexpr const char* kDialogRoot = "quorvelDialogRoot";

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

std::string FromQt(const QString& text) {
    return text.toStdString();
}

// Buttons and frames take '&' as the mark of a shortcut key: a text shows as it is written.
QString Literal(const std::string& text) {
    return ToQt(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

std::string FromLiteral(QString text) {
    return FromQt(text.replace(QLatin1String("&&"), QLatin1String("&")));
}

// The dialog a widget belongs to: the nearest ancestor (or itself) marked as a dialog root.
const QWidget* DialogOf(const QWidget* widget, const QWidget* stopAt) {
    for (const QWidget* w = widget->parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (w == stopAt || w->property(kDialogRoot).toBool()) {
            return w;
        }
    }
    return nullptr;
}

} // namespace

WidgetControls::WidgetControls(QWidget* dialog) : m_dialog(dialog) {
    MarkDialogRoot(dialog);
}

void WidgetControls::MarkDialogRoot(QWidget* dialog) {
    dialog->setProperty(kDialogRoot, true);
}

QWidget* WidgetControls::Widget(int id) const {
    if (!m_dialog) {
        return nullptr;
    }
    const QList<QWidget*> found = m_dialog->findChildren<QWidget*>(QString::number(id));
    for (QWidget* widget : found) {
        if (DialogOf(widget, m_dialog) == m_dialog) {
            return widget;
        }
    }
    return nullptr;
}

void WidgetControls::SetText(int id, const std::string& text) {
    QWidget* w = Widget(id);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->isEditable()) {
            combo->setEditText(ToQt(text));
        } else if (const int index = combo->findText(ToQt(text), Qt::MatchFixedString); index >= 0) {
            // A list without an edit can only show one of its entries.
            combo->setCurrentIndex(index);
        }
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(ToQt(text));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setTextFormat(Qt::PlainText);
        label->setText(ToQt(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(Literal(text));
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(Literal(text));
    } else if (w != nullptr) {
        w->setWindowTitle(ToQt(text));
    }
}

std::string WidgetControls::Text(int id) const {
    QWidget* w = Widget(id);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        return FromQt(combo->currentText());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        return FromQt(edit->text());
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return FromQt(label->text());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        return FromLiteral(button->text());
    }
    if (auto* group = qobject_cast<QGroupBox*>(w)) {
        return FromLiteral(group->title());
    }
    return w != nullptr ? FromQt(w->windowTitle()) : std::string();
}

void WidgetControls::SetCheck(int id, int state) {
    auto* button = qobject_cast<QAbstractButton*>(Widget(id));
    if (button == nullptr) {
        return;
    }
    const bool checked = state == kChecked;
    // A radio button of an exclusive set cannot be cleared while it is the ticked one; clearing it here leaves
    // the set with none ticked, as the dialog may well be.
    const bool exclusive = !checked && button->autoExclusive();
    if (exclusive) {
        button->setAutoExclusive(false);
    }
    button->setChecked(checked);
    if (exclusive) {
        button->setAutoExclusive(true);
    }
}

int WidgetControls::Check(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(Widget(id));
    return button != nullptr && button->isChecked() ? kChecked : kUnchecked;
}

void WidgetControls::Enable(int id, bool enabled) {
    if (QWidget* w = Widget(id)) {
        w->setEnabled(enabled);
    }
}

bool WidgetControls::IsEnabled(int id) const {
    QWidget* w = Widget(id);
    return w != nullptr && !w->testAttribute(Qt::WA_ForceDisabled);
}

void WidgetControls::Show(int id, bool visible) {
    if (QWidget* w = Widget(id)) {
        w->setVisible(visible);
    }
}

bool WidgetControls::IsVisible(int id) const {
    QWidget* w = Widget(id);
    return w != nullptr && !w->isHidden();
}

void WidgetControls::ResetContent(int id) {
    if (auto* combo = qobject_cast<QComboBox*>(Widget(id))) {
        combo->clear();
    }
}

int WidgetControls::AddString(int id, const std::string& text) {
    auto* combo = qobject_cast<QComboBox*>(Widget(id));
    if (combo == nullptr) {
        return -1;
    }
    // Adding an item selects nothing and leaves the edit's text as it was.
    const int selected = combo->currentIndex();
    const QString shown = combo->currentText();
    combo->addItem(ToQt(text));
    if (combo->currentIndex() != selected) {
        combo->setCurrentIndex(selected);
    }
    if (combo->isEditable() && combo->currentText() != shown) {
        combo->setEditText(shown);
    }
    return combo->count() - 1;
}

int WidgetControls::Count(int id) const {
    auto* combo = qobject_cast<QComboBox*>(Widget(id));
    return combo != nullptr ? combo->count() : 0;
}

std::string WidgetControls::ItemText(int id, int index) const {
    auto* combo = qobject_cast<QComboBox*>(Widget(id));
    if (combo == nullptr || index < 0 || index >= combo->count()) {
        return {};
    }
    return FromQt(combo->itemText(index));
}

void WidgetControls::SetCurSel(int id, int index) {
    if (auto* combo = qobject_cast<QComboBox*>(Widget(id))) {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    }
}

int WidgetControls::CurSel(int id) const {
    auto* combo = qobject_cast<QComboBox*>(Widget(id));
    return combo != nullptr ? combo->currentIndex() : -1;
}

int WidgetControls::FindStringExact(int id, const std::string& text) const {
    auto* combo = qobject_cast<QComboBox*>(Widget(id));
    return combo != nullptr ? combo->findText(ToQt(text), Qt::MatchFixedString) : -1;
}

void WidgetControls::InsertColumn(int id, int column, const std::string& heading, int width) {
    auto* table = qobject_cast<QTableWidget*>(Widget(id));
    if (table == nullptr) {
        return;
    }
    column = std::clamp(column, 0, table->columnCount());
    table->insertColumn(column);
    auto* header = new QTableWidgetItem(ToQt(heading));
    if (auto* list = qobject_cast<ReportListView*>(table)) {
        header->setTextAlignment(list->ColumnAlignment(column));
    }
    table->setHorizontalHeaderItem(column, header);
    table->setColumnWidth(column, width);
}

void WidgetControls::DeleteAllItems(int id) {
    if (auto* table = qobject_cast<QTableWidget*>(Widget(id))) {
        table->clearSelection();
        table->setRowCount(0);
    }
}

int WidgetControls::InsertItem(int id, int row, const std::string& text) {
    auto* table = qobject_cast<QTableWidget*>(Widget(id));
    if (table == nullptr) {
        return -1;
    }
    row = std::clamp(row, 0, table->rowCount());
    table->insertRow(row);
    SetItemText(id, row, 0, text);
    return row;
}

void WidgetControls::SetItemText(int id, int row, int column, const std::string& text) {
    auto* table = qobject_cast<QTableWidget*>(Widget(id));
    if (table == nullptr || row < 0 || row >= table->rowCount() || column < 0 || column >= table->columnCount()) {
        return;
    }
    auto* item = new QTableWidgetItem(ToQt(text));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (auto* list = qobject_cast<ReportListView*>(table)) {
        item->setTextAlignment(list->ColumnAlignment(column));
    }
    table->setItem(row, column, item);
}

int WidgetControls::ItemCount(int id) const {
    auto* table = qobject_cast<QTableWidget*>(Widget(id));
    return table != nullptr ? table->rowCount() : 0;
}

std::string WidgetControls::ItemText(int id, int row, int column) const {
    auto* table = qobject_cast<QTableWidget*>(Widget(id));
    if (table == nullptr) {
        return {};
    }
    const QTableWidgetItem* item = table->item(row, column);
    return item != nullptr ? FromQt(item->text()) : std::string();
}

int WidgetControls::SelectedRow(int id) const {
    auto* table = qobject_cast<QTableWidget*>(Widget(id));
    if (table == nullptr || table->selectionModel() == nullptr) {
        return -1;
    }
    int first = -1;
    for (const QModelIndex& index : table->selectionModel()->selectedRows()) {
        first = first < 0 ? index.row() : std::min(first, index.row());
    }
    return first;
}

void WidgetControls::SetRange(int id, int low, int high) {
    if (auto* bar = qobject_cast<QProgressBar*>(Widget(id))) {
        bar->setRange(low, high);
    }
}

void WidgetControls::SetPos(int id, int position) {
    if (auto* bar = qobject_cast<QProgressBar*>(Widget(id))) {
        bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
    }
}

int WidgetControls::Pos(int id) const {
    auto* bar = qobject_cast<QProgressBar*>(Widget(id));
    return bar != nullptr ? bar->value() : 0;
}

void WidgetControls::SelectRow(int id, int row) {
    auto* table = qobject_cast<QTableWidget*>(Widget(id));
    if (table == nullptr || table->selectionModel() == nullptr) {
        return;
    }
    table->clearSelection();
    if (row >= 0 && row < table->rowCount()) {
        table->selectionModel()->setCurrentIndex(table->model()->index(row, 0),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void WidgetControls::SetFocus(int id) {
    if (QWidget* w = Widget(id)) {
        w->setFocus(Qt::OtherFocusReason);
    }
}

GuiThreadControls::GuiThreadControls(Controls& inner)
    : ForwardedControls(inner, [](const std::function<void()>& work) { OnGuiThread(work); }) {}

} // namespace quorvel

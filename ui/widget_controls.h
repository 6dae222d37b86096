#pragma once

#include "pages/forwarded_controls.h"
#include "platform/controls.h"

#include <QPointer>
#include <QWidget>

#include <string>

namespace quorvel {

// The controls of one dialog made of widgets: each control is the widget whose objectName is its id ("1081").
// A dialog hosted inside another one (a child dialog in a frame) has its own controls; ids are looked up only
// among the widgets of this dialog, never among those of a hosted child.
class WidgetControls final : public Controls {
public:
    explicit WidgetControls(QWidget* dialog);

    // Marks `dialog` as the root of a dialog of its own, so that the ids of its widgets belong to it alone.
    static void MarkDialogRoot(QWidget* dialog);

    // The control with this id, or null.
    QWidget* Widget(int id) const;

    void SetText(int id, const std::string& text) override;
    std::string Text(int id) const override;
    void SetCheck(int id, int state) override;
    int Check(int id) const override;
    void Enable(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void Show(int id, bool visible) override;
    bool IsVisible(int id) const override;

    void ResetContent(int id) override;
    int AddString(int id, const std::string& text) override;
    int Count(int id) const override;
    std::string ItemText(int id, int index) const override;
    void SetCurSel(int id, int index) override;
    int CurSel(int id) const override;
    int FindStringExact(int id, const std::string& text) const override;

    void InsertColumn(int id, int column, const std::string& heading, int width) override;
    void DeleteAllItems(int id) override;
    int InsertItem(int id, int row, const std::string& text) override;
    void SetItemText(int id, int row, int column, const std::string& text) override;
    int ItemCount(int id) const override;
    std::string ItemText(int id, int row, int column) const override;
    int SelectedRow(int id) const override;

    void SetRange(int id, int low, int high) override;
    void SetPos(int id, int position) override;
    int Pos(int id) const override;

    // Selects one row of a list view (the others are deselected) without scrolling to it; -1 clears it.
    void SelectRow(int id, int row);
    void SetFocus(int id);

private:
    QPointer<QWidget> m_dialog;
};

// Controls used from another thread: every call is carried out on the user-interface thread, which must keep
// running its events meanwhile.
class GuiThreadControls final : public ForwardedControls {
public:
    explicit GuiThreadControls(Controls& inner);
};

} // namespace quorvel

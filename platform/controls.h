#pragma once

#include <string>

namespace quorvel {

// Check states of check boxes and radio buttons (BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE).
enum CheckState { kUnchecked = 0, kChecked = 1, kIndeterminate = 2 };

// The controls of one dialog page, addressed by their control ids. Page logic is written against this, so it
// is tested without widgets; the Qt page binds each id to a real widget. Indexes start at 0; -1 means none.
class Controls {
public:
    virtual ~Controls() = default;

    // Text of edits, labels, buttons and the edit part of combo boxes.
    virtual void SetText(int id, const std::string& text) = 0;
    virtual std::string Text(int id) const = 0;

    // Check boxes and radio buttons.
    virtual void SetCheck(int id, int state) = 0;
    virtual int Check(int id) const = 0;

    virtual void Enable(int id, bool enabled) = 0;
    virtual bool IsEnabled(int id) const = 0;
    virtual void Show(int id, bool visible) = 0;
    virtual bool IsVisible(int id) const = 0;

    // Combo boxes and list boxes.
    virtual void ResetContent(int id) = 0;
    virtual int AddString(int id, const std::string& text) = 0; // the new item's index
    virtual int Count(int id) const = 0;
    virtual std::string ItemText(int id, int index) const = 0;
    virtual void SetCurSel(int id, int index) = 0;
    virtual int CurSel(int id) const = 0;
    // The index of the item whose text equals `text` (case-insensitive, as the platform does), or -1.
    virtual int FindStringExact(int id, const std::string& text) const = 0;

    // List views (report style).
    virtual void InsertColumn(int id, int column, const std::string& heading, int width) = 0;
    virtual void DeleteAllItems(int id) = 0;
    virtual int InsertItem(int id, int row, const std::string& text) = 0; // the new row's index
    virtual void SetItemText(int id, int row, int column, const std::string& text) = 0;
    virtual int ItemCount(int id) const = 0;
    virtual std::string ItemText(int id, int row, int column) const = 0;
    virtual int SelectedRow(int id) const = 0; // the first selected row

    // Progress bars.
    virtual void SetRange(int id, int low, int high) = 0;
    virtual void SetPos(int id, int position) = 0;
    virtual int Pos(int id) const = 0;
};

} // namespace quorvel

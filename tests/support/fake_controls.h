#pragma once

#include "platform/controls.h"

#include <map>
#include <string>
#include <vector>

namespace quorvel::test {

// Controls kept in memory, so page logic can be driven and inspected by control id without widgets.
// A control comes into being the first time it is used; every change is also recorded as a line in Log()
// ("text 1081=abc", "check 1079=1", ...) for tests that check an order.
class FakeControls : public Controls {
public:
    struct Control {
        std::string text;
        int check = kUnchecked;
        bool enabled = true;
        bool visible = true;
        std::vector<std::string> items; // combo box items
        int curSel = -1;
        std::vector<std::string> columns;
        std::vector<std::vector<std::string>> rows; // list-view rows, one string per column
        int selectedRow = -1;
        int rangeLow = 0;
        int rangeHigh = 100;
        int pos = 0;
    };

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

    // Test side: what a user would do.
    void SelectRow(int id, int row) { m_controls[id].selectedRow = row; }
    const Control& Get(int id) const;
    const std::vector<std::string>& Log() const { return m_log; }
    std::vector<int> PositionsSet(int id) const; // every SetPos value for a progress bar, in order

private:
    Control& At(int id) { return m_controls[id]; }
    std::map<int, Control> m_controls;
    std::vector<std::string> m_log;
    std::map<int, std::vector<int>> m_positions;
};

} // namespace quorvel::test

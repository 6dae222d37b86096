#include "support/fake_controls.h"

#include <algorithm>
#include <cctype>

namespace quorvel::test {

namespace {
bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
} // namespace

const FakeControls::Control& FakeControls::Get(int id) const {
    static const Control kEmpty;
    auto it = m_controls.find(id);
    return it == m_controls.end() ? kEmpty : it->second;
}

void FakeControls::SetText(int id, const std::string& text) {
    At(id).text = text;
    m_log.push_back("text " + std::to_string(id) + "=" + text);
}
std::string FakeControls::Text(int id) const { return Get(id).text; }

void FakeControls::SetCheck(int id, int state) {
    At(id).check = state;
    m_log.push_back("check " + std::to_string(id) + "=" + std::to_string(state));
}
int FakeControls::Check(int id) const { return Get(id).check; }

void FakeControls::Enable(int id, bool enabled) {
    At(id).enabled = enabled;
    m_log.push_back("enable " + std::to_string(id) + "=" + (enabled ? "1" : "0"));
}
bool FakeControls::IsEnabled(int id) const { return Get(id).enabled; }

void FakeControls::Show(int id, bool visible) {
    At(id).visible = visible;
    m_log.push_back("show " + std::to_string(id) + "=" + (visible ? "1" : "0"));
}
bool FakeControls::IsVisible(int id) const { return Get(id).visible; }

void FakeControls::ResetContent(int id) {
    Control& c = At(id);
    c.items.clear();
    c.curSel = -1;
    m_log.push_back("reset " + std::to_string(id));
}

int FakeControls::AddString(int id, const std::string& text) {
    Control& c = At(id);
    c.items.push_back(text);
    m_log.push_back("add " + std::to_string(id) + "=" + text);
    return static_cast<int>(c.items.size()) - 1;
}

int FakeControls::Count(int id) const { return static_cast<int>(Get(id).items.size()); }

std::string FakeControls::ItemText(int id, int index) const {
    const Control& c = Get(id);
    if (index < 0 || index >= static_cast<int>(c.items.size())) {
        return {};
    }
    return c.items[static_cast<std::size_t>(index)];
}

void FakeControls::SetCurSel(int id, int index) {
    Control& c = At(id);
    c.curSel = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
    if (c.curSel >= 0) {
        c.text = c.items[static_cast<std::size_t>(c.curSel)];
    }
    m_log.push_back("select " + std::to_string(id) + "=" + std::to_string(c.curSel));
}

int FakeControls::CurSel(int id) const { return Get(id).curSel; }

int FakeControls::FindStringExact(int id, const std::string& text) const {
    const Control& c = Get(id);
    for (std::size_t i = 0; i < c.items.size(); ++i) {
        if (EqualNoCase(c.items[i], text)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void FakeControls::InsertColumn(int id, int column, const std::string& heading, int /*width*/) {
    Control& c = At(id);
    auto at = std::min(static_cast<std::size_t>(std::max(column, 0)), c.columns.size());
    c.columns.insert(c.columns.begin() + static_cast<std::ptrdiff_t>(at), heading);
    m_log.push_back("column " + std::to_string(id) + "=" + heading);
}

void FakeControls::DeleteAllItems(int id) {
    Control& c = At(id);
    c.rows.clear();
    c.selectedRow = -1;
    m_log.push_back("clear rows " + std::to_string(id));
}

int FakeControls::InsertItem(int id, int row, const std::string& text) {
    Control& c = At(id);
    auto at = std::min(static_cast<std::size_t>(std::max(row, 0)), c.rows.size());
    c.rows.insert(c.rows.begin() + static_cast<std::ptrdiff_t>(at), std::vector<std::string>{text});
    return static_cast<int>(at);
}

void FakeControls::SetItemText(int id, int row, int column, const std::string& text) {
    Control& c = At(id);
    if (row < 0 || row >= static_cast<int>(c.rows.size()) || column < 0) {
        return;
    }
    auto& cells = c.rows[static_cast<std::size_t>(row)];
    if (cells.size() <= static_cast<std::size_t>(column)) {
        cells.resize(static_cast<std::size_t>(column) + 1);
    }
    cells[static_cast<std::size_t>(column)] = text;
}

int FakeControls::ItemCount(int id) const { return static_cast<int>(Get(id).rows.size()); }

std::string FakeControls::ItemText(int id, int row, int column) const {
    const Control& c = Get(id);
    if (row < 0 || row >= static_cast<int>(c.rows.size()) || column < 0) {
        return {};
    }
    const auto& cells = c.rows[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)] : std::string{};
}

int FakeControls::SelectedRow(int id) const { return Get(id).selectedRow; }

void FakeControls::SetRange(int id, int low, int high) {
    Control& c = At(id);
    c.rangeLow = low;
    c.rangeHigh = high;
}

void FakeControls::SetPos(int id, int position) {
    At(id).pos = position;
    m_positions[id].push_back(position);
}

int FakeControls::Pos(int id) const { return Get(id).pos; }

std::vector<int> FakeControls::PositionsSet(int id) const {
    auto it = m_positions.find(id);
    return it == m_positions.end() ? std::vector<int>{} : it->second;
}

} // namespace quorvel::test

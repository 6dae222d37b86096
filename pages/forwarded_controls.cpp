#include "pages/forwarded_controls.h"

namespace quorvel {

void ForwardedControls::SetText(int id, const std::string& text) {
    On([&] { m_inner.SetText(id, text); });
}
std::string ForwardedControls::Text(int id) const {
    return On([&] { return m_inner.Text(id); });
}
void ForwardedControls::SetCheck(int id, int state) {
    On([&] { m_inner.SetCheck(id, state); });
}
int ForwardedControls::Check(int id) const {
    return On([&] { return m_inner.Check(id); });
}
void ForwardedControls::Enable(int id, bool enabled) {
    On([&] { m_inner.Enable(id, enabled); });
}
bool ForwardedControls::IsEnabled(int id) const {
    return On([&] { return m_inner.IsEnabled(id); });
}
void ForwardedControls::Show(int id, bool visible) {
    On([&] { m_inner.Show(id, visible); });
}
bool ForwardedControls::IsVisible(int id) const {
    return On([&] { return m_inner.IsVisible(id); });
}
void ForwardedControls::ResetContent(int id) {
    On([&] { m_inner.ResetContent(id); });
}
int ForwardedControls::AddString(int id, const std::string& text) {
    return On([&] { return m_inner.AddString(id, text); });
}
int ForwardedControls::Count(int id) const {
    return On([&] { return m_inner.Count(id); });
}
std::string ForwardedControls::ItemText(int id, int index) const {
    return On([&] { return m_inner.ItemText(id, index); });
}
void ForwardedControls::SetCurSel(int id, int index) {
    On([&] { m_inner.SetCurSel(id, index); });
}
int ForwardedControls::CurSel(int id) const {
    return On([&] { return m_inner.CurSel(id); });
}
int ForwardedControls::FindStringExact(int id, const std::string& text) const {
    return On([&] { return m_inner.FindStringExact(id, text); });
}
void ForwardedControls::InsertColumn(int id, int column, const std::string& heading, int width) {
    On([&] { m_inner.InsertColumn(id, column, heading, width); });
}
void ForwardedControls::DeleteAllItems(int id) {
    On([&] { m_inner.DeleteAllItems(id); });
}
int ForwardedControls::InsertItem(int id, int row, const std::string& text) {
    return On([&] { return m_inner.InsertItem(id, row, text); });
}
void ForwardedControls::SetItemText(int id, int row, int column, const std::string& text) {
    On([&] { m_inner.SetItemText(id, row, column, text); });
}
int ForwardedControls::ItemCount(int id) const {
    return On([&] { return m_inner.ItemCount(id); });
}
std::string ForwardedControls::ItemText(int id, int row, int column) const {
    return On([&] { return m_inner.ItemText(id, row, column); });
}
int ForwardedControls::SelectedRow(int id) const {
    return On([&] { return m_inner.SelectedRow(id); });
}
void ForwardedControls::SetRange(int id, int low, int high) {
    On([&] { m_inner.SetRange(id, low, high); });
}
void ForwardedControls::SetPos(int id, int position) {
    On([&] { m_inner.SetPos(id, position); });
}
int ForwardedControls::Pos(int id) const {
    return On([&] { return m_inner.Pos(id); });
}

} // namespace quorvel

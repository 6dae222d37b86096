#pragma once

#include "platform/controls.h"

#include <functional>
#include <type_traits>

namespace quorvel {

// Controls used from another thread: every call is handed to `run`, which carries it out on the user-interface
// thread and returns once it has run there (or was dropped because the program is ending).
class ForwardedControls : public Controls {
public:
    using Runner = std::function<void(const std::function<void()>&)>;

    ForwardedControls(Controls& inner, Runner run) : m_inner(inner), m_run(std::move(run)) {}

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

private:
    template <typename Work> auto On(Work&& work) const -> decltype(work()) {
        using Result = decltype(work());
        if constexpr (std::is_void_v<Result>) {
            m_run(work);
        } else {
            // A dropped call reads as an empty control.
            Result result{};
            m_run([&] { result = work(); });
            return result;
        }
    }

    Controls& m_inner;
    Runner m_run;
};

} // namespace quorvel

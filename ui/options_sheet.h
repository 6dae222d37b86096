#pragma once

#include "pages/options_sheet_model.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class QDialogButtonBox;
class QTabWidget;

namespace quorvel {

class OptionsPageWidget;

// The options sheet: the five pages as tabs, OK, Cancel and Apply. A page's widgets are made when its tab is
// first shown; OK runs the OK step of every page shown (after every shown page has agreed to what was typed),
// Cancel stores nothing. No page ever marks itself changed, so Apply stays disabled.
class COptionsSheet final : public QDialog {
    Q_OBJECT
public:
    // Button ids, as the sheet's buttons are named.
    static constexpr int kOkButton = 1;
    static constexpr int kCancelButton = 2;
    static constexpr int kApplyButton = 12321;

    COptionsSheet(const OptionsParts& parts, QWidget* parent = nullptr);
    ~COptionsSheet() override;

    // Asked now and then while the sheet is open; true closes it as Cancel does (the program is ending).
    void SetCloseRequest(std::function<bool()> closeRequested);

    QTabWidget* Tabs() const { return m_tabs; }
    // The widgets of a page; null while its tab has not been shown.
    OptionsPageWidget* PageWidget(std::size_t index) const;
    const OptionsSheetModel& Model() const { return m_model; }

    void accept() override;
    void reject() override;
    void setVisible(bool visible) override;

private:
    void ShowPage(int index);
    OptionsPageWidget* MakePageWidget(std::size_t index);
    bool Busy() const;

    OptionsPages m_pages;
    OptionsSheetModel m_model;
    QTabWidget* m_tabs = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    std::vector<OptionsPageWidget*> m_widgets;
    std::function<bool()> m_closeRequested;
};

} // namespace quorvel

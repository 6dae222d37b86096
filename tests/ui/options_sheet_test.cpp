// The options sheet as a window: its tabs, its buttons, pages made when first shown, and what OK and Cancel do.

#include "pages/pages_fixture.h"
#include "qt_test_support.h"
#include "ui/options_page_widget.h"
#include "ui/options_sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace quorvel::test {
namespace {

class OptionsSheetWindowTest : public QtTest {
protected:
    QPushButton* Button(COptionsSheet& sheet, int id) { return sheet.findChild<QPushButton*>(QString::number(id)); }
    template <typename Control> Control* Control_(COptionsSheet& sheet, std::size_t page, int id) {
        OptionsPageWidget* widget = sheet.PageWidget(page);
        return widget != nullptr ? qobject_cast<Control*>(widget->PageControls().Widget(id)) : nullptr;
    }

    PagesWorld world;
};

TEST_F(OptionsSheetWindowTest, TabsButtonsAndPagesMadeWhenFirstShown) {
    COptionsSheet sheet(world.Parts());
    EXPECT_EQ(sheet.windowTitle(), "Options");
    QTabWidget* tabs = sheet.Tabs();
    ASSERT_EQ(tabs->count(), 5);
    const char* titles[] = {"Profiles center", "Masking", "Other", "Country selection", "Privacy test"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tabs->tabText(i).toStdString(), titles[i]);
    }
    ASSERT_NE(Button(sheet, COptionsSheet::kOkButton), nullptr);
    ASSERT_NE(Button(sheet, COptionsSheet::kCancelButton), nullptr);
    ASSERT_NE(Button(sheet, COptionsSheet::kApplyButton), nullptr);
    EXPECT_FALSE(Button(sheet, COptionsSheet::kApplyButton)->isEnabled());
    EXPECT_EQ(sheet.PageWidget(0), nullptr);

    sheet.show();
    EXPECT_EQ(tabs->currentIndex(), 0);
    ASSERT_NE(sheet.PageWidget(0), nullptr);
    EXPECT_EQ(sheet.PageWidget(0)->objectName(), "134");
    EXPECT_EQ(sheet.PageWidget(1), nullptr);
    tabs->setCurrentIndex(3);
    ASSERT_NE(sheet.PageWidget(3), nullptr);
    EXPECT_EQ(sheet.PageWidget(3)->objectName(), "200");
    EXPECT_TRUE(sheet.Model().WasShown(3));
    EXPECT_FALSE(sheet.Model().WasShown(1));
    EXPECT_FALSE(Button(sheet, COptionsSheet::kApplyButton)->isEnabled());
    sheet.hide();
}

TEST_F(OptionsSheetWindowTest, OkAfterTheFirstTabStoresOnlyTheProfilesCenter) {
    COptionsSheet sheet(world.Parts());
    sheet.show();
    Control_<QCheckBox>(sheet, 0, 1032)->click(); // clears Internet Explorer
    Button(sheet, COptionsSheet::kOkButton)->click();

    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(world.Setting(settings::kAnonymization, settings::kInternetExplorer), "0");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kAgentRadio), "<missing>");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kShowBalloonTips), "<missing>");
}

TEST_F(OptionsSheetWindowTest, ABadPeriodKeepsTheSheetOpenOnItsPageAndStoresNothing) {
    world.WriteTorrc("SocksPort 9050\r\n");
    COptionsSheet sheet(world.Parts());
    sheet.show();
    Control_<QCheckBox>(sheet, 0, 1032)->click();
    sheet.Tabs()->setCurrentIndex(2);
    Control_<QLineEdit>(sheet, 2, 1066)->setText("");
    sheet.Tabs()->setCurrentIndex(4);

    Button(sheet, COptionsSheet::kOkButton)->click();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.Tabs()->currentIndex(), 2);
    EXPECT_EQ(world.ui.MessageTexts(),
              (std::vector<std::string>{"Please enter a false IP period from 1 to 43200 minutes. Nothing has been "
                                        "saved."}));
    EXPECT_EQ(world.Setting(settings::kAnonymization, settings::kInternetExplorer), "-1");
    EXPECT_EQ(world.Setting(settings::kPrivacyTest, settings::kCustomPrivacyTest), "<missing>");
    EXPECT_EQ(world.Torrc(), "SocksPort 9050\r\n");

    Button(sheet, COptionsSheet::kCancelButton)->click();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(world.Setting(settings::kAnonymization, settings::kInternetExplorer), "1");
    EXPECT_EQ(world.Torrc(), "SocksPort 9050\r\n");
}

TEST_F(OptionsSheetWindowTest, AnEndingProgramClosesTheSheetAsCancel) {
    COptionsSheet sheet(world.Parts());
    bool ending = false;
    sheet.SetCloseRequest([&] { return ending; });
    WhenModalShown([&](QWidget* modal) {
        EXPECT_EQ(modal, &sheet);
        Control_<QCheckBox>(sheet, 0, 1032)->click();
        ending = true;
    });
    EXPECT_EQ(sheet.exec(), QDialog::Rejected);
    EXPECT_EQ(world.Setting(settings::kAnonymization, settings::kInternetExplorer), "1");
}

TEST_F(OptionsSheetWindowTest, RussianChosenOnTheOtherPageShowsInTheNextSheet) {
    world.ChooseRussian();
    world.settings.WriteString(settings::kOptionsDialog, settings::kLanguage, "English");
    {
        COptionsSheet sheet(world.Parts());
        sheet.show();
        sheet.Tabs()->setCurrentIndex(2);
        auto* language = Control_<QComboBox>(sheet, 2, 1005);
        ASSERT_NE(language, nullptr);
        language->setCurrentIndex(1);
        emit language->activated(1);
        Button(sheet, COptionsSheet::kOkButton)->click();
        EXPECT_FALSE(sheet.isVisible());
    }
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kLanguage), "Russian(Русский)");

    COptionsSheet sheet(world.Parts());
    sheet.show();
    EXPECT_EQ(sheet.windowTitle(), QString::fromUtf8("Настройки"));
    EXPECT_EQ(sheet.Tabs()->tabText(0), QString::fromUtf8("Центр профилей"));
    EXPECT_EQ(sheet.Tabs()->tabText(3), QString::fromUtf8("Выбор страны"));
    EXPECT_EQ(Control_<QGroupBox>(sheet, 0, 1018)->title(), QString::fromUtf8("Параметры очистки"));
    EXPECT_EQ(Control_<QCheckBox>(sheet, 0, 1032)->text(), QString::fromUtf8("Анонимизировать Internet Explorer"));
    sheet.hide();
}

} // namespace
} // namespace quorvel::test

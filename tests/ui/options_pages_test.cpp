// The Qt side of the options pages: every control is found by its id, the user's actions reach the page logic
// through the signals that mean a user did something, and the logic's changes show in the widgets.

#include "pages/pages_fixture.h"
#include "qt_test_support.h"
#include "support/fake_control_port.h"
#include "ui/country_select_page_widget.h"
#include "ui/ex_combo_box.h"
#include "ui/masking_page_widget.h"
#include "ui/other_page_widget.h"
#include "ui/privacy_test_page_widget.h"
#include "ui/profiles_center_page_widget.h"
#include "ui/report_list_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace quorvel::test {
namespace {

template <typename Control> Control* Find(QWidget* page, int id) {
    auto* control = qobject_cast<Control*>(page->findChild<QWidget*>(QString::number(id)));
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

// What a user does to a drop-down list: the entry becomes current, then the list says it was picked.
void Pick(QComboBox* box, const QString& entry) {
    const int index = box->findText(entry);
    ASSERT_GE(index, 0) << entry.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

class OptionsPagesTest : public QtTest {
protected:
    PagesWorld world;
    OptionsPages pages{world.Parts()};
};

TEST_F(OptionsPagesTest, ProfilesCenterBindsItsListsAndHostsItsChildren) {
    ProfilesCenterPageWidget widget(pages.profilesCenter, nullptr);
    pages.profilesCenter.OnInitDialog(widget.PageControls());

    auto* groups = Find<CExComboBox>(&widget, 1006);
    auto* programs = Find<CExComboBox>(&widget, 1007);
    ASSERT_TRUE(groups && programs);
    EXPECT_EQ(groups->count(), 2);
    EXPECT_FALSE(groups->itemIcon(1).isNull());
    EXPECT_EQ(programs->currentText(), "Internet Explorer");
    EXPECT_FALSE(programs->itemIcon(2).isNull());
    EXPECT_NE(Find<QGroupBox>(&widget, 1017), nullptr);
    EXPECT_NE(Find<QGroupBox>(&widget, 1018), nullptr);
    EXPECT_EQ(Find<QCheckBox>(&widget, 1032)->text(), "Anonymize Internet Explorer");
    EXPECT_TRUE(Find<QCheckBox>(&widget, 1019)->isChecked());
    auto* note = qobject_cast<QLabel*>(widget.ChildWidget(1017)->findChild<QWidget*>("1039"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), "\nAccess to profile not required.\n");

    // A change made by the program is not a pick: nothing happens until the list says the user picked.
    programs->setCurrentIndex(1);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kCurrentBrowser), "0");
    Pick(programs, "Firefox");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kCurrentBrowser), "1");
    QWidget* path = widget.ChildWidget(1017);
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->objectName(), "135");
    // The page's 1017 is still its frame; the child's 1017 is the path field.
    EXPECT_NE(qobject_cast<QGroupBox*>(widget.PageControls().Widget(1017)), nullptr);
    EXPECT_NE(path->findChild<QLineEdit*>("1017"), nullptr);

    Find<QCheckBox>(&widget, 1032)->click();
    EXPECT_EQ(world.Setting(settings::kAnonymization, settings::kFirefox), "2");

    const std::string profile = world.MakeFirefoxProfile();
    path->findChild<QPushButton*>("1008")->click();
    EXPECT_EQ(path->findChild<QLineEdit*>("1017")->text().toStdString(), profile);

    auto* cookies = widget.ChildWidget(1018)->findChild<QCheckBox*>("307");
    ASSERT_NE(cookies, nullptr);
    cookies->click();
    EXPECT_EQ(pages.profilesCenter.CleanChild().Choice(307), CProfilesCenterPageClean::kTicked);

    Pick(groups, "Instant Messengers");
    EXPECT_EQ(widget.ChildWidget(1018)->objectName(), "141");
    EXPECT_EQ(programs->count(), 4);
    Find<QCheckBox>(&widget, 1019)->click();
    EXPECT_EQ(pages.profilesCenter.PendingCleanReport(), CProfilesCenterPage::kReportCleared);
}

TEST_F(OptionsPagesTest, MaskingBindsItsBoxesAndRadioGroups) {
    MaskingPageWidget widget(pages.masking, nullptr);
    pages.masking.OnInitDialog(widget.PageControls());

    auto* os = Find<QComboBox>(&widget, 1049);
    auto* osVersion = Find<QComboBox>(&widget, 1050);
    auto* versions = Find<QComboBox>(&widget, 1054);
    ASSERT_TRUE(os && osVersion && versions);
    EXPECT_TRUE(os->isEditable());
    EXPECT_EQ(os->currentText(), "Windows");
    EXPECT_EQ(versions->currentText(), "6");
    EXPECT_FALSE(os->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(&widget, 1046)->isChecked());
    EXPECT_EQ(Find<QComboBox>(&widget, 1061)->count(), 138);
    EXPECT_EQ(Find<QLabel>(&widget, 1073)->text(), "(recommend)");

    Find<QRadioButton>(&widget, 1048)->click();
    EXPECT_TRUE(os->isEnabled());
    Pick(os, "Linux");
    EXPECT_TRUE(Find<QRadioButton>(&widget, 1048)->isChecked());
    EXPECT_FALSE(osVersion->isEnabled());
    EXPECT_EQ(Find<QComboBox>(&widget, 1053)->currentText(), "Konqueror");
    EXPECT_EQ(versions->count(), 2);

    // Radio buttons of the two groups do not clear each other.
    Find<QRadioButton>(&widget, 1060)->click();
    EXPECT_TRUE(Find<QComboBox>(&widget, 1061)->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(&widget, 1048)->isChecked());

    Find<QPushButton>(&widget, 1080)->click();
    EXPECT_TRUE(Find<QRadioButton>(&widget, 1046)->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(&widget, 1058)->isChecked());
    EXPECT_FALSE(Find<QComboBox>(&widget, 1061)->isEnabled());
}

TEST_F(OptionsPagesTest, OtherTakesDigitsOnlyAndALanguageOnlyWhenPicked) {
    OtherPageWidget widget(pages.other, nullptr);
    pages.other.OnInitDialog(widget.PageControls());

    auto* port = Find<QLineEdit>(&widget, 1062);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->text(), "9050");
    QString typed = QStringLiteral("90a");
    int at = 0;
    EXPECT_EQ(port->validator()->validate(typed, at), QValidator::Invalid);
    EXPECT_EQ(Find<QLabel>(&widget, 1067)->text(), "Default 9050");
    EXPECT_EQ(Find<QGroupBox>(&widget, 1068)->title(), "False IP period");
    EXPECT_TRUE(Find<QCheckBox>(&widget, 1088)->isChecked());

    auto* language = Find<QComboBox>(&widget, 1005);
    ASSERT_NE(language, nullptr);
    EXPECT_EQ(language->currentText(), "English");
    language->setCurrentIndex(1);
    EXPECT_FALSE(pages.other.SelectedLanguage().has_value());
    Pick(language, QString::fromUtf8("Russian(Русский)"));
    EXPECT_EQ(pages.other.SelectedLanguage(), "Russian(Русский)");
}

TEST_F(OptionsPagesTest, PrivacyTestBindsItsAddresses) {
    PrivacyTestPageWidget widget(pages.privacy, nullptr);
    pages.privacy.OnInitDialog(widget.PageControls());
    auto* custom = Find<QCheckBox>(&widget, 1089);
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(custom->text(), "Use your own privacy test?");
    EXPECT_EQ(Find<QLineEdit>(&widget, 1091)->text(), "check.example");
    EXPECT_EQ(Find<QRadioButton>(&widget, 1097)->text(), "http://");
    EXPECT_FALSE(Find<QLineEdit>(&widget, 1100)->isEnabled());
    custom->click();
    EXPECT_TRUE(Find<QLineEdit>(&widget, 1100)->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(&widget, 1101)->isEnabled());
    EXPECT_FALSE(Find<QRadioButton>(&widget, 1090)->isChecked());
}

// A router-status reply of `routers` routers, every `exitEvery`-th of them an exit.
std::string RouterStatus(int routers, int exitEvery) {
    std::string text = "250+ns/all=\r\n";
    for (int i = 0; i < routers; ++i) {
        text += "r relay" + std::to_string(i) +
                " AAAAAAAAAAAAAAAAAAAAAAAAAAA BBBBBBBBBBBBBBBBBBBBBBBBBBB 2038-01-01 00:00:00 10.0." +
                std::to_string(i / 250) + "." + std::to_string(i % 250) + " 9001 0\r\n";
        text += i % exitEvery == 0 ? "s Exit Fast Running Stable Valid\r\n" : "s Fast Running Stable Valid\r\n";
    }
    return text + ".\r\n250 OK\r\n";
}

TEST_F(OptionsPagesTest, CountryListFillsWhileTheProgressBarMoves) {
    FakeControlPort fake;
    fake.NextConnection().Answer([](const std::string& line) -> std::optional<std::string> {
        if (line == "GETINFO ns/all") {
            return RouterStatus(600, 100);
        }
        const std::string query = "getinfo ip-to-country/";
        if (line.rfind(query, 0) == 0) {
            const std::string address = line.substr(query.size());
            const bool french = address == "10.0.0.100";
            return "250-ip-to-country/" + address + (french ? "=fr" : "=de") + "\r\n250 OK\r\n";
        }
        return "250 OK\r\n";
    });
    TorController tor{world.ui, world.language, world.settings, world.paths, fake.Port()};
    ASSERT_TRUE(tor.Connect());
    world.settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, "Germany");
    CCountrySelectPage page{tor, world.ui, world.language, world.settings, world.paths, [] {}};
    CountrySelectPageWidget widget(page, nullptr);
    page.OnInitDialog(widget.PageControls());

    auto* list = Find<ReportListView>(&widget, 1081);
    auto* progress = Find<QProgressBar>(&widget, 1085);
    ASSERT_TRUE(list && progress);
    EXPECT_TRUE(list->showGrid());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list->horizontalHeaderItem(0)->text(), "Country");
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QString::fromUtf8("Number of IP\u2019s"));
    EXPECT_EQ(list->columnWidth(0), 180);
    EXPECT_EQ(list->columnWidth(1), 150);
    EXPECT_FALSE(progress->isEnabled());

    std::vector<int> shown;
    QObject::connect(progress, &QProgressBar::valueChanged, [&](int value) { shown.push_back(value); });
    Find<QPushButton>(&widget, 1086)->click();

    EXPECT_TRUE(progress->isEnabled());
    EXPECT_EQ(progress->maximum(), 12);
    EXPECT_EQ(progress->value(), 12);
    ASSERT_GE(shown.size(), 3u) << "the bar moved while the status arrived";
    EXPECT_LT(shown.front(), 12);
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->item(0, 0)->text(), "France");
    EXPECT_EQ(list->item(0, 1)->text(), "1");
    EXPECT_EQ(list->item(1, 0)->text(), "Germany");
    EXPECT_EQ(list->item(1, 1)->text(), "5");
    EXPECT_TRUE(list->item(1, 1)->textAlignment() & Qt::AlignHCenter);
    EXPECT_EQ(widget.PageControls().SelectedRow(1081), 1) << "the current country is selected";
    EXPECT_TRUE(fake.Failures().empty());
}

} // namespace
} // namespace quorvel::test

// Controls by id on real widgets: the behaviour the page logic counts on, which Qt's widgets do not all have.

#include "qt_test_support.h"
#include "ui/widget_controls.h"
#include "ui/without_user_input.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QVBoxLayout>

#include <thread>

namespace quorvel::test {
namespace {

template <typename Widget> Widget* Add(QWidget* parent, int id) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::number(id));
    parent->layout()->addWidget(widget);
    return widget;
}

class WidgetControlsTest : public QtTest {
protected:
    WidgetControlsTest() { new QVBoxLayout(&dialog); }
    QWidget dialog;
    WidgetControls controls{&dialog};
};

TEST_F(WidgetControlsTest, ARadioButtonCanBeClearedLikeOnTheDialogsThePagesWereWrittenFor) {
    Add<QRadioButton>(&dialog, 1);
    Add<QRadioButton>(&dialog, 2);
    controls.SetCheck(1, kChecked);
    controls.SetCheck(1, kUnchecked);
    EXPECT_EQ(controls.Check(1), kUnchecked);
    EXPECT_EQ(controls.Check(2), kUnchecked);
    // Still one set: ticking one clears the other.
    controls.SetCheck(2, kChecked);
    static_cast<QRadioButton*>(controls.Widget(1))->click();
    EXPECT_EQ(controls.Check(2), kUnchecked);
}

TEST_F(WidgetControlsTest, AddingEntriesSelectsNothingAndKeepsTheEditText) {
    Add<QComboBox>(&dialog, 10);
    auto* editable = Add<QComboBox>(&dialog, 11);
    editable->setEditable(true);
    controls.SetText(11, "typed");
    EXPECT_EQ(controls.AddString(10, "first"), 0);
    EXPECT_EQ(controls.AddString(11, "first"), 0);
    EXPECT_EQ(controls.CurSel(10), -1);
    EXPECT_EQ(controls.Text(11), "typed");
    EXPECT_EQ(controls.FindStringExact(10, "FIRST"), 0);
    controls.SetCurSel(10, 5);
    EXPECT_EQ(controls.CurSel(10), -1);
}

TEST_F(WidgetControlsTest, TextsShowAsWrittenAndIdsOfAHostedDialogStayItsOwn) {
    Add<QCheckBox>(&dialog, 20);
    controls.SetText(20, "Forms & passwords");
    EXPECT_EQ(static_cast<QCheckBox*>(controls.Widget(20))->text(), "Forms && passwords");
    EXPECT_EQ(controls.Text(20), "Forms & passwords");

    auto* frame = Add<QGroupBox>(&dialog, 30);
    auto* child = new QWidget(frame);
    auto* field = new QLineEdit(child);
    field->setObjectName("30");
    WidgetControls childControls(child);
    controls.SetText(30, "Frame");
    childControls.SetText(30, "Field");
    EXPECT_EQ(frame->title(), "Frame");
    EXPECT_EQ(field->text(), "Field");
    EXPECT_EQ(controls.Widget(30), frame);
}

TEST_F(WidgetControlsTest, AnotherThreadWorksTheControlsWhileTheWindowKeepsPainting) {
    auto* bar = Add<QProgressBar>(&dialog, 40);
    controls.SetRange(40, 0, 12);
    std::vector<int> seen;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) { seen.push_back(value); });
    GuiThreadControls fromWorker(controls);
    std::thread::id workerThread;
    RunWithoutUserInput([&] {
        workerThread = std::this_thread::get_id();
        for (int i = 1; i <= 12; ++i) {
            fromWorker.SetPos(40, i);
        }
    });
    EXPECT_NE(workerThread, std::this_thread::get_id());
    EXPECT_EQ(seen.size(), 12u);
    EXPECT_EQ(controls.Pos(40), 12);
}

} // namespace
} // namespace quorvel::test

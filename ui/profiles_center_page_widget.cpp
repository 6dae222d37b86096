#include "ui/profiles_center_page_widget.h"

#include "cleaning/clean_options.h"
#include "pages/profiles_center_page.h"
#include "pages/profiles_center_programs.h"
#include "ui/ex_combo_box.h"
#include "ui/page_icons.h"
#include "ui/profiles_center_children.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvel {

namespace {

using Page = CProfilesCenterPage;
using Path = CProfilesCenterPageProfilePath;

// Margins of a child inside its frame: left, top (below the frame's title), right, bottom.
constexpr int kChildMargins[4] = {4, 4, 4, 6};

int GroupIcon(int row, const std::string&) {
    const auto groups = ProgramGroups();
    return row >= 0 && row < static_cast<int>(groups.size()) ? groups[static_cast<std::size_t>(row)].iconId : 0;
}

int ProgramIcon(int, const std::string& text) {
    const auto program = ProgramByEntryText(text);
    return program ? program->iconId : 0;
}

QLabel* Decoration(int iconId, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::number(iconId));
    label->setPixmap(PageIcon(iconId).pixmap(32, 32));
    label->setFixedSize(32, 32);
    return label;
}

} // namespace

ProfilesCenterPageWidget::ProfilesCenterPageWidget(CProfilesCenterPage& page, QWidget* parent)
    : OptionsPageWidget(Page::kTemplate, parent), m_page(page) {
    auto* groups = new CExComboBox(GroupIcon, this);
    groups->setObjectName(QString::number(Page::kGroupList));
    auto* programs = new CExComboBox(ProgramIcon, this);
    programs->setObjectName(QString::number(Page::kProgramList));
    programs->setMinimumWidth(200);
    auto* anonymize = Make<QCheckBox>(Page::kAnonymizeBox);
    auto* cleanReport = Make<QCheckBox>(Page::kCleanReportBox);

    for (int frameId : {Page::kProfilePathFrame, Page::kCleanFrame}) {
        auto* frame = Make<QGroupBox>(frameId);
        auto* layout = new QVBoxLayout(frame);
        layout->setContentsMargins(kChildMargins[0], kChildMargins[1], kChildMargins[2], kChildMargins[3]);
        m_frames[frameId] = frame;
    }

    auto* lists = new QHBoxLayout;
    lists->addWidget(Decoration(Page::kDecorationIcons[0], this));
    lists->addWidget(groups);
    lists->addWidget(programs, 1);
    auto* anonymizeRow = new QHBoxLayout;
    anonymizeRow->addWidget(Decoration(Page::kDecorationIcons[1], this));
    anonymizeRow->addWidget(anonymize, 1);
    auto* cleanRow = new QHBoxLayout;
    cleanRow->addWidget(Decoration(Page::kDecorationIcons[2], this), 0, Qt::AlignTop);
    cleanRow->addWidget(m_frames[Page::kCleanFrame], 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(anonymizeRow);
    layout->addWidget(m_frames[Page::kProfilePathFrame]);
    layout->addLayout(cleanRow);
    layout->addWidget(cleanReport);
    layout->addStretch(1);

    page.SetChildHost(this);
    connect(groups, &QComboBox::activated, this, [this] { m_page.OnGroupChanged(m_controls); });
    connect(programs, &QComboBox::activated, this, [this] { m_page.OnProgramChanged(m_controls); });
    connect(anonymize, &QCheckBox::clicked, this, [this] { m_page.OnAnonymizeClicked(m_controls); });
    connect(cleanReport, &QCheckBox::clicked, this, [this] { m_page.OnCleanReportClicked(m_controls); });
}

ProfilesCenterPageWidget::~ProfilesCenterPageWidget() {
    m_page.SetChildHost(nullptr);
}

Controls& ProfilesCenterPageWidget::HostChild(int frameId, int templateId) {
    DestroyChild(frameId);
    QGroupBox* frame = m_frames.at(frameId);
    QWidget* child = frameId == Page::kProfilePathFrame ? MakeProfilePathChild(templateId, frame)
                                                        : MakeCleanChild(templateId, frame);
    frame->layout()->addWidget(child);
    Hosted& hosted = m_children[frameId];
    hosted.widget = child;
    hosted.controls = std::make_unique<WidgetControls>(child);
    WireChild(frameId, child);
    return *hosted.controls;
}

void ProfilesCenterPageWidget::DestroyChild(int frameId) {
    auto it = m_children.find(frameId);
    if (it == m_children.end()) {
        return;
    }
    delete it->second.widget;
    m_children.erase(it);
}

Controls* ProfilesCenterPageWidget::Child(int frameId) {
    auto it = m_children.find(frameId);
    return it == m_children.end() ? nullptr : it->second.controls.get();
}

QWidget* ProfilesCenterPageWidget::ChildWidget(int frameId) const {
    auto it = m_children.find(frameId);
    return it == m_children.end() ? nullptr : it->second.widget;
}

void ProfilesCenterPageWidget::WireChild(int frameId, QWidget* child) {
    WidgetControls& controls = *m_children.at(frameId).controls;
    if (frameId == Page::kProfilePathFrame) {
        if (auto* detect = qobject_cast<QPushButton*>(controls.Widget(Path::kAutoDetectButton))) {
            connect(detect, &QPushButton::clicked, child, [this] { m_page.OnAutoDetect(); });
        }
        if (auto* browse = qobject_cast<QPushButton*>(controls.Widget(Path::kBrowseButton))) {
            connect(browse, &QPushButton::clicked, child, [this] { m_page.OnBrowse(); });
        }
        return;
    }
    for (const CleanOption& option : kCleanOptions) {
        if (auto* box = qobject_cast<QCheckBox*>(controls.Widget(option.checkBoxId))) {
            const int id = option.checkBoxId;
            connect(box, &QCheckBox::clicked, child, [this, id] { m_page.OnCleanBoxClicked(id); });
        }
    }
}

} // namespace quorvel

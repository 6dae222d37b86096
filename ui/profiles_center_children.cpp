#include "ui/profiles_center_children.h"

#include "cleaning/clean_options.h"
#include "cleaning/profiles_center_page_clean.h"
#include "pages/profile_path_dialog.h"
#include "ui/page_icons.h"
#include "ui/widget_controls.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvel {

namespace {

QString Id(int id) {
    return QString::number(id);
}

QWidget* MakeRoot(int templateId, QWidget* parent) {
    auto* root = new QWidget(parent);
    root->setObjectName(Id(templateId));
    WidgetControls::MarkDialogRoot(root);
    return root;
}

QLabel* Note(int id, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(Id(id));
    label->setWordWrap(true);
    return label;
}

} // namespace

QWidget* MakeProfilePathChild(int templateId, QWidget* parent) {
    using Path = CProfilesCenterPageProfilePath;
    QWidget* root = MakeRoot(templateId, parent);
    if (templateId != Path::kPathTemplate) {
        auto* layout = new QVBoxLayout(root);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(Note(Path::kNoProfileText, root));
        return root;
    }

    auto* icon = new QLabel(root);
    icon->setObjectName(Id(Path::kPathIcon));
    icon->setPixmap(PageIcon(Path::kPathIcon).pixmap(32, 32));
    auto* field = new QLineEdit(root);
    field->setObjectName(Id(Path::kPathField));
    field->setReadOnly(true);
    field->setMinimumWidth(260);
    auto* detect = new QPushButton(root);
    detect->setObjectName(Id(Path::kAutoDetectButton));
    auto* browse = new QPushButton(root);
    browse->setObjectName(Id(Path::kBrowseButton));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(detect);
    buttons->addWidget(browse);
    auto* layout = new QGridLayout(root);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(field, 0, 1);
    layout->addLayout(buttons, 1, 1);
    layout->setColumnStretch(1, 1);
    return root;
}

QWidget* MakeCleanChild(int templateId, QWidget* parent) {
    using Clean = CProfilesCenterPageClean;
    QWidget* root = MakeRoot(templateId, parent);
    auto* layout = new QVBoxLayout(root);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    TrackBrowser browser;
    switch (templateId) {
    case Clean::kInternetExplorerTemplate:
        browser = TrackBrowser::InternetExplorer;
        break;
    case Clean::kFirefoxTemplate:
        browser = TrackBrowser::Firefox;
        break;
    case Clean::kNetscapeTemplate:
        browser = TrackBrowser::Netscape;
        break;
    default:
        layout->addWidget(Note(Clean::kNoOptionsText, root));
        return root;
    }

    for (const CleanOption& option : kCleanOptions) {
        if (option.browser == browser) {
            auto* box = new QCheckBox(root);
            box->setObjectName(Id(option.checkBoxId));
            layout->addWidget(box);
        }
    }
    if (browser != TrackBrowser::InternetExplorer) {
        layout->addSpacing(4);
        layout->addWidget(Note(Clean::kBrowserMustBeClosedNote, root));
    }
    if (browser == TrackBrowser::Firefox) {
        layout->addWidget(Note(Clean::kFirefox2OnlyNote, root));
    }
    return root;
}

} // namespace quorvel

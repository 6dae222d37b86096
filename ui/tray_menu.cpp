#include "ui/tray_menu.h"

#include "ui/artwork.h"

#include <QAction>
#include <QMenu>

namespace quorvel {

namespace {

void AddEntries(QMenu& menu, const std::vector<MenuEntry>& entries, const std::function<void(int)>& choose) {
    const qreal ratio = menu.devicePixelRatioF();
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::Separator:
            menu.addSeparator();
            break;
        case MenuEntry::Kind::Submenu: {
            // Owned by the parent menu, so the next rebuild removes it with the rest.
            auto* sub = new QMenu(QString::fromStdString(entry.text), &menu);
            sub->setIcon(QIcon(MenuBitmap(entry.bitmap, ratio)));
            sub->menuAction()->setObjectName(QStringLiteral("submenu"));
            AddEntries(*sub, entry.children, choose);
            menu.addMenu(sub);
            break;
        }
        case MenuEntry::Kind::Command: {
            QAction* action =
                menu.addAction(QIcon(MenuBitmap(entry.bitmap, ratio)), QString::fromStdString(entry.text));
            action->setData(entry.command);
            action->setObjectName(QString::number(entry.command));
            action->setIconVisibleInMenu(true);
            const int cmd = entry.command;
            QObject::connect(action, &QAction::triggered, &menu, [choose, cmd] { choose(cmd); });
            break;
        }
        }
    }
}

void DeleteSubmenus(QMenu& menu) {
    for (QMenu* sub : menu.findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly)) {
        delete sub;
    }
}

} // namespace

void FillMenu(QMenu& menu, const std::vector<MenuEntry>& entries, const std::function<void(int)>& choose) {
    menu.clear();
    DeleteSubmenus(menu);
    AddEntries(menu, entries, choose);
}

} // namespace quorvel

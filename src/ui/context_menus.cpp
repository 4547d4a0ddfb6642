// The menus of the window: one on a row of either list, and one on "Start Opening"/"Stop" with
// the files opened since start-up. Each opens with a right click, the context-menu key or
// Shift+F10.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

#include "ui/main_window.hpp"

namespace gantrylux {

void MainWindow::connectMenus() {
    for (const auto& [list, id] :
         {std::pair{listView1_, ListId::Files}, std::pair{listView3_, ListId::Folders}}) {
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, this,
                [this, list = list, id = id](QPoint at) { showRowMenu(list, id, at); });
    }
    pushButton2_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pushButton2_, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { showOpenedMenu(at); });
}

// A right click acts on the row under the pointer; the keyboard on the selected row.
void MainWindow::showRowMenu(QTreeView* list, ListId id, QPoint at) {
    if (const QModelIndex under = list->indexAt(at); under.isValid()) {
        list->setCurrentIndex(under);
    } else if (!list->currentIndex().isValid()) {
        return;
    } else {
        at = list->visualRect(list->currentIndex()).center();
    }
    ListCommands& commands = mainForm_.commands();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("RowMenu"));
    connect(menu.addAction(QStringLiteral("Open")), &QAction::triggered, this,
            [&commands, id] { commands.RowMenu_Open(id); });
    connect(menu.addAction(QStringLiteral("Show in Folder")), &QAction::triggered, this,
            [&commands, id] { commands.RowMenu_ShowInFolder(id); });
    connect(menu.addAction(QStringLiteral("Copy Path")), &QAction::triggered, this,
            [&commands, id] { commands.RowMenu_CopyPath(id); });
    connect(menu.addAction(QStringLiteral("Remove")), &QAction::triggered, this,
            [&commands, id] { commands.RowMenu_Remove(id); });
    menu.exec(list->viewport()->mapToGlobal(at));
}

void MainWindow::showOpenedMenu(QPoint at) {
    const auto& opened = mainForm_.openedHistory().newestFirst();
    if (opened.empty()) {
        return;
    }
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("OpenedMenu"));
    for (const std::string& path : opened) {
        QMenu* file = menu.addMenu(QFile::decodeName(QByteArray::fromStdString(path)));
        connect(file->addAction(QStringLiteral("Show in Folder")), &QAction::triggered, this,
                [this, path] { mainForm_.OpenedMenu_ShowInFolder(path); });
        connect(file->addAction(QStringLiteral("Open Again")), &QAction::triggered, this,
                [this, path] { mainForm_.OpenedMenu_OpenAgain(path); });
    }
    menu.exec(pushButton2_->mapToGlobal(at));
}

}  // namespace gantrylux

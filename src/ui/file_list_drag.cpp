#include "ui/file_list_drag.hpp"

#include <QMouseEvent>
#include <QTreeView>

#include "lists/file_list_reorder.hpp"

namespace gantrylux {

FileListDrag::FileListDrag(QTreeView* list, FileListReorder& reorder, QCursor dragCursor)
    : QObject(list),
      list_(list),
      viewport_(list->viewport()),
      reorder_(reorder),
      dragCursor_(std::move(dragCursor)) {
    viewport_->installEventFilter(this);
    // A click on a row makes it the one that travels, and shows the drag pointer.
    connect(list_, &QTreeView::pressed, this, [this](const QModelIndex& index) {
        reorder_.itemClick(static_cast<std::size_t>(index.row()) + 1);
        list_->setCursor(dragCursor_);
    });
}

bool FileListDrag::eventFilter(QObject* watched, QEvent* event) {
    if (watched != viewport_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            reorder_.press();
            return false;
        case QEvent::MouseButtonRelease:
            reorder_.release();
            list_->unsetCursor();
            return false;
        case QEvent::MouseMove:
            if (!reorder_.pressed()) {
                return false;
            }
            moveTo(static_cast<QMouseEvent*>(event)->position().toPoint());
            return true;  // the list's own drag selection and scrolling stay out of it
        default:
            return false;
    }
}

void FileListDrag::moveTo(const QPoint& position) {
    const QModelIndex target = list_->indexAt(position);
    const auto moved = reorder_.moveOver(
        target.isValid() ? std::optional<std::size_t>(target.row() + 1) : std::nullopt);
    if (!moved) {
        return;
    }
    const int row = static_cast<int>(*moved) - 1;
    const QModelIndex index = list_->model()->index(row, 0);
    list_->setCurrentIndex(index);
    const int rowHeight = list_->visualRect(index).height();
    if (position.y() < rowHeight && row > 0) {
        list_->scrollTo(list_->model()->index(row - 1, 0));
    } else if (position.y() > viewport_->height() - rowHeight &&
               row + 1 < list_->model()->rowCount()) {
        list_->scrollTo(list_->model()->index(row + 1, 0));
    }
}

}  // namespace gantrylux

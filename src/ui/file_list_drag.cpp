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
    list_->installEventFilter(this);
    // A click on a row makes it the one that travels, and shows the drag pointer.
    connect(list_, &QTreeView::pressed, this, [this](const QModelIndex& index) {
        reorder_.itemClick(static_cast<std::size_t>(index.row()) + 1);
        list_->setCursor(dragCursor_);
    });
}

bool FileListDrag::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_) {
        // Whatever takes the press away from the list ends it, as its release will not come
        // here: the focus moving on, the window losing the activation, a modal box blocking it.
        // The window hands the last two down to its controls.
        switch (event->type()) {
            case QEvent::FocusOut:
            case QEvent::WindowDeactivate:
            case QEvent::WindowBlocked:
                endPress();
                break;
            default:
                break;
        }
        return false;
    }
    if (watched != viewport_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            reorder_.press();
            return false;
        case QEvent::MouseButtonRelease:
            endPress();
            return false;
        case QEvent::MouseMove: {
            if (!reorder_.pressed()) {
                return false;
            }
            const auto* move = static_cast<QMouseEvent*>(event);
            const bool held = move->buttons() != Qt::NoButton;
            moveTo(move->position().toPoint(), held);
            if (held) {
                return true;  // the list's own drag selection and scrolling stay out of it
            }
            list_->unsetCursor();  // the release went elsewhere; this move ended the press
            return false;
        }
        default:
            return false;
    }
}

void FileListDrag::endPress() {
    reorder_.release();
    list_->unsetCursor();
}

void FileListDrag::moveTo(const QPoint& position, bool buttonHeld) {
    const QModelIndex target = list_->indexAt(position);
    const auto moved = reorder_.moveOver(
        target.isValid() ? std::optional<std::size_t>(target.row() + 1) : std::nullopt, buttonHeld);
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

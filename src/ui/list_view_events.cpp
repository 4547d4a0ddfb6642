#include "ui/list_view_events.hpp"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>

#include "ui/command_line.hpp"

namespace gantrylux {

ListViewEvents::ListViewEvents(QTreeView* view, Handlers handlers)
    : QObject(view), view_(view), viewport_(view->viewport()), handlers_(std::move(handlers)) {
    view_->installEventFilter(this);
    viewport_->installEventFilter(this);
    viewport_->setAcceptDrops(true);
}

std::vector<std::string> ListViewEvents::DroppedPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (data == nullptr || !data->hasUrls()) {
        return paths;
    }
    // Read from the URL's own text, as the command line reads it: escapes become the bytes of
    // the name, and a URL of another host names no file here.
    for (const QUrl& url : data->urls()) {
        const std::string text = url.toEncoded().toStdString();
        LocalPath local = FileUrlPath(text);
        if (!url.isLocalFile() || !local.local || local.path.empty() || local.path == text) {
            return {};
        }
        paths.push_back(std::move(local.path));
    }
    return paths;
}

bool ListViewEvents::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport_) {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                if (handlers_.drop && !DroppedPaths(drag->mimeData()).empty()) {
                    drag->acceptProposedAction();
                } else {
                    drag->ignore();  // the pointer then shows that nothing can be dropped here
                }
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const std::vector<std::string> paths = DroppedPaths(drop->mimeData());
                if (!handlers_.drop || paths.empty()) {
                    drop->ignore();
                    return true;
                }
                drop->acceptProposedAction();
                handlers_.drop(paths);
                return true;
            }
            case QEvent::MouseButtonDblClick:
                // The first press of the double-click has already selected the row.
                if (handlers_.doubleClick) {
                    handlers_.doubleClick();
                }
                return false;
            default:
                return false;
        }
    }
    // The handler sees the key before the list does, and the list then handles it as usual.
    if (watched == view_ && event->type() == QEvent::KeyPress && handlers_.keyDown) {
        handlers_.keyDown(VirtualKeyCode(static_cast<QKeyEvent*>(event)->key()));
    }
    return false;
}

int VirtualKeyCode(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Delete:
            return 46;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_End:
            return 35;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        default:
            return 0;
    }
}

}  // namespace gantrylux

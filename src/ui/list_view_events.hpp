#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QTreeView;

namespace gantrylux {

// Hands a list view's double-clicks, key presses and file drops to the window's handlers. The
// handlers run first; the list then handles the click or key as usual.
class ListViewEvents : public QObject {
    Q_OBJECT
  public:
    struct Handlers {
        std::function<void()> doubleClick;
        std::function<void(int keyCode)> keyDown;
        std::function<void(const std::vector<std::string>& paths)> drop;
    };

    ListViewEvents(QTreeView* view, Handlers handlers);

    // The local paths of a drag's data, in its order; nothing unless every item is a local
    // file or folder.
    static std::vector<std::string> DroppedPaths(const QMimeData* data);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QTreeView* view_;
    // Kept apart from view_: while the view is being destroyed its viewport still sends
    // events, and the view can no longer be asked for it.
    QWidget* viewport_;
    Handlers handlers_;
};

// The key code a list's key-down handler receives: the Windows virtual-key code for the keys
// that matter (46 is Delete), 0 for the rest.
int VirtualKeyCode(int qtKey);

}  // namespace gantrylux

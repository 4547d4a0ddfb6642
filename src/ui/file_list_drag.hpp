#pragma once

#include <QCursor>
#include <QObject>

class QTreeView;

namespace gantrylux {

class FileListReorder;

// Pressing on a row of the file list and moving up or down carries the row along. The list
// scrolls by a row when the pointer comes within a row's height of its top or bottom edge.
// Delete it before the reorder it drives: the list still loses the focus while it is destroyed.
class FileListDrag : public QObject {
  public:
    FileListDrag(QTreeView* list, FileListReorder& reorder, QCursor dragCursor);
    const QCursor& dragCursor() const { return dragCursor_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void endPress();
    void moveTo(const QPoint& position, bool buttonHeld);

    QTreeView* list_;
    QWidget* viewport_;
    FileListReorder& reorder_;
    QCursor dragCursor_;
};

}  // namespace gantrylux

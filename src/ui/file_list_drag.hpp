#pragma once

#include <QCursor>
#include <QObject>

class QTreeView;

namespace gantrylux {

class FileListReorder;

// Pressing on a row of the file list and moving up or down carries the row along. The list
// scrolls by a row when the pointer comes within a row's height of its top or bottom edge.
class FileListDrag : public QObject {
  public:
    FileListDrag(QTreeView* list, FileListReorder& reorder, QCursor dragCursor);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void moveTo(const QPoint& position);

    QTreeView* list_;
    QWidget* viewport_;
    FileListReorder& reorder_;
    QCursor dragCursor_;
};

}  // namespace gantrylux

#pragma once

#include <QLabel>

namespace gantrylux {

// A status line for screen readers only: it paints nothing and takes one pixel, yet stays in
// the accessibility tree, where each new text is a change of the label's name that readers
// speak. The window's fixed layout has no room for a status line that sighted users would need.
class SpokenStatus : public QLabel {
    Q_OBJECT
  public:
    explicit SpokenStatus(QWidget* parent);

    void say(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace gantrylux

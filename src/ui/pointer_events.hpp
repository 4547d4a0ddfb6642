#pragma once

#include <QObject>
#include <functional>

namespace gantrylux {

// Reports the pointer moving over the widgets it watches. Watched widgets track the mouse, so
// a move counts with or without a button held.
class PointerEvents : public QObject {
  public:
    PointerEvents(QObject* parent, std::function<void()> onMove)
        : QObject(parent), onMove_(std::move(onMove)) {}

    void watch(QWidget* widget);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void()> onMove_;
};

}  // namespace gantrylux
